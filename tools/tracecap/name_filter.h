// --only: which programs' strings listen mode keeps, by their file names.
// Plain C runtime only, for tracecap.exe and the host tests alike.
#ifndef KIT_TRACECAP_NAME_FILTER_H
#define KIT_TRACECAP_NAME_FILTER_H

// Whether `name` is one of the program names in `list`, which separates
// them with commas; ASCII letters match in either case, as Windows
// matches file names. A null list keeps every name.
bool NameIsListed(const char* list, const char* name);

#endif
