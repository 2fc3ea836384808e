"""The rows of the package's _Validation table: each column of each table
that the package holds, as the Windows Installer 2.0 database schema
defines it, the _Validation table's own columns among them.

A row is (table, column, nullable, minimum, maximum, key table, key column,
category, set); None is an empty field. Numbers take MinValue and MaxValue
and no category; strings take a category and, where the column holds a
foreign key, the tables it points into.
"""

SHORT = 32767
LONG = 2147483647

# Feature.Attributes: favour local (0), source (1) or the parent (2); with
# advertising favoured (4), refused (8), or refused where unsupported (32,
# alone or with 4); and the feature that cannot be set absent (16).
FEATURE_ATTRIBUTES = ";".join(str(value) for value in sorted(
    favour + advertise + absent for favour in (0, 1, 2) for advertise in (0, 4, 8, 32, 36) for absent in (0, 16)))
CATEGORIES = ("Text;UpperCase;LowerCase;Integer;DoubleInteger;TimeDate;Identifier;Property;Filename;"
              "WildCardFilename;Path;Paths;AnyPath;DefaultDir;RegPath;Formatted;Template;Condition;Guid;Version;"
              "Language;Binary;CustomSource;Cabinet;Shortcut")


def key(table, column, target, nullable="N", category="Identifier"):
    """A column that holds a key of the first column of `target`."""
    return (table, column, nullable, None, None, target, 1, category, None)


def text(table, column, category, nullable="N", values=None):
    return (table, column, nullable, None, None, None, None, category, values)


def number(table, column, low, high, nullable="N", values=None):
    return (table, column, nullable, low, high, None, None, None, values)


def sequence(table):
    """The five sequence tables: negative numbers are the exit dialogs'."""
    return [text(table, "Action", "Identifier"), text(table, "Condition", "Condition", "Y"),
            number(table, "Sequence", -4, SHORT, "Y")]


ROWS = [
    *sequence("AdminExecuteSequence"), *sequence("AdminUISequence"), *sequence("AdvtExecuteSequence"),
    *sequence("InstallExecuteSequence"), *sequence("InstallUISequence"),
    text("AppSearch", "Property", "Identifier"),
    key("AppSearch", "Signature_", "Signature;RegLocator;IniLocator;DrLocator;CompLocator"),
    text("Binary", "Name", "Identifier"),
    text("Binary", "Data", "Binary"),
    text("Component", "Component", "Identifier"),
    text("Component", "ComponentId", "Guid", "Y"),
    key("Component", "Directory_", "Directory"),
    # The bits up to 64-bit (256), those that Windows Installer 2.0 knows.
    number("Component", "Attributes", 0, 511),
    text("Component", "Condition", "Condition", "Y"),
    key("Component", "KeyPath", "File;Registry;ODBCDataSource", "Y"),
    key("CreateFolder", "Directory_", "Directory"),
    key("CreateFolder", "Component_", "Component"),
    text("CustomAction", "Action", "Identifier"),
    number("CustomAction", "Type", 1, SHORT),
    text("CustomAction", "Source", "CustomSource", "Y"),
    text("CustomAction", "Target", "Formatted", "Y"),
    text("Directory", "Directory", "Identifier"),
    key("Directory", "Directory_Parent", "Directory", "Y"),
    text("Directory", "DefaultDir", "DefaultDir"),
    number("Error", "Error", 0, SHORT),
    text("Error", "Message", "Template", "Y"),
    text("Feature", "Feature", "Identifier"),
    key("Feature", "Feature_Parent", "Feature", "Y"),
    text("Feature", "Title", "Text", "Y"),
    text("Feature", "Description", "Text", "Y"),
    number("Feature", "Display", 0, SHORT, "Y"),
    number("Feature", "Level", 0, SHORT),
    key("Feature", "Directory_", "Directory", "Y", "UpperCase"),
    number("Feature", "Attributes", None, None, values=FEATURE_ATTRIBUTES),
    key("FeatureComponents", "Feature_", "Feature"),
    key("FeatureComponents", "Component_", "Component"),
    text("File", "File", "Identifier"),
    key("File", "Component_", "Component"),
    text("File", "FileName", "Filename"),
    number("File", "FileSize", 0, LONG),
    # A version, or the key of the companion file whose version counts.
    key("File", "Version", "File", "Y", "Version"),
    text("File", "Language", "Language", "Y"),
    number("File", "Attributes", 0, SHORT, "Y"),
    number("File", "Sequence", 1, LONG),
    text("Icon", "Name", "Identifier"),
    text("Icon", "Data", "Binary"),
    text("LaunchCondition", "Condition", "Condition"),
    text("LaunchCondition", "Description", "Formatted"),
    number("Media", "DiskId", 1, SHORT),
    number("Media", "LastSequence", 0, LONG),
    text("Media", "DiskPrompt", "Text", "Y"),
    text("Media", "Cabinet", "Cabinet", "Y"),
    text("Media", "VolumeLabel", "Text", "Y"),
    text("Media", "Source", "Property", "Y"),
    key("MsiFileHash", "File_", "File"),
    number("MsiFileHash", "Options", 0, 0),
    *[number("MsiFileHash", f"HashPart{part}", None, None) for part in range(1, 5)],
    text("Property", "Property", "Identifier"),
    text("Property", "Value", "Text"),
    text("RegLocator", "Signature_", "Identifier"),
    number("RegLocator", "Root", 0, 3),
    text("RegLocator", "Key", "RegPath"),
    text("RegLocator", "Name", "Formatted", "Y"),
    # A directory (0), a file (1) or a raw value (2), in the 64-bit view (16).
    number("RegLocator", "Type", 0, 18, "Y"),
    text("Registry", "Registry", "Identifier"),
    # -1: HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE as ALLUSERS says.
    number("Registry", "Root", -1, 3),
    text("Registry", "Key", "RegPath"),
    text("Registry", "Name", "Formatted", "Y"),
    text("Registry", "Value", "Formatted", "Y"),
    key("Registry", "Component_", "Component"),
    text("RemoveFile", "FileKey", "Identifier"),
    key("RemoveFile", "Component_", "Component"),
    text("RemoveFile", "FileName", "WildCardFilename", "Y"),
    text("RemoveFile", "DirProperty", "Identifier"),
    number("RemoveFile", "InstallMode", None, None, values="1;2;3"),
    text("ServiceControl", "ServiceControl", "Identifier"),
    text("ServiceControl", "Name", "Formatted"),
    # Start, stop and delete (1, 2, 8) on install, the same on removal (16, 32, 128).
    number("ServiceControl", "Event", 0, 187),
    text("ServiceControl", "Arguments", "Formatted", "Y"),
    number("ServiceControl", "Wait", 0, 1, "Y"),
    key("ServiceControl", "Component_", "Component"),
    text("ServiceInstall", "ServiceInstall", "Identifier"),
    text("ServiceInstall", "Name", "Formatted"),
    text("ServiceInstall", "DisplayName", "Formatted", "Y"),
    number("ServiceInstall", "ServiceType", -LONG, LONG),
    number("ServiceInstall", "StartType", 0, 4),
    number("ServiceInstall", "ErrorControl", -LONG, LONG),
    *[text("ServiceInstall", column, "Formatted", "Y")
      for column in ("LoadOrderGroup", "Dependencies", "StartName", "Password", "Arguments")],
    key("ServiceInstall", "Component_", "Component"),
    text("ServiceInstall", "Description", "Formatted", "Y"),
    text("Shortcut", "Shortcut", "Identifier"),
    key("Shortcut", "Directory_", "Directory"),
    text("Shortcut", "Name", "Filename"),
    key("Shortcut", "Component_", "Component"),
    text("Shortcut", "Target", "Shortcut"),
    text("Shortcut", "Arguments", "Formatted", "Y"),
    text("Shortcut", "Description", "Text", "Y"),
    number("Shortcut", "Hotkey", 0, SHORT, "Y"),
    key("Shortcut", "Icon_", "Icon", "Y"),
    number("Shortcut", "IconIndex", -SHORT, SHORT, "Y"),
    # Normal, minimized, or minimized and not active.
    number("Shortcut", "ShowCmd", None, None, "Y", "1;3;7"),
    text("Shortcut", "WkDir", "Identifier", "Y"),
    text("Signature", "Signature", "Identifier"),
    text("Signature", "FileName", "Filename"),
    text("Signature", "MinVersion", "Text", "Y"),
    text("Signature", "MaxVersion", "Text", "Y"),
    *[number("Signature", column, 0, LONG, "Y") for column in ("MinSize", "MaxSize", "MinDate", "MaxDate")],
    text("Signature", "Languages", "Language", "Y"),
    text("Upgrade", "UpgradeCode", "Guid"),
    text("Upgrade", "VersionMin", "Text", "Y"),
    text("Upgrade", "VersionMax", "Text", "Y"),
    text("Upgrade", "Language", "Language", "Y"),
    number("Upgrade", "Attributes", 0, LONG),
    text("Upgrade", "Remove", "Formatted", "Y"),
    text("Upgrade", "ActionProperty", "UpperCase"),
    text("_Validation", "Table", "Identifier"),
    text("_Validation", "Column", "Identifier"),
    text("_Validation", "Nullable", None, values="Y;N"),
    number("_Validation", "MinValue", -LONG, LONG, "Y"),
    number("_Validation", "MaxValue", -LONG, LONG, "Y"),
    text("_Validation", "KeyTable", "Identifier", "Y"),
    number("_Validation", "KeyColumn", 1, 32, "Y"),
    text("_Validation", "Category", None, "Y", CATEGORIES),
    text("_Validation", "Set", "Text", "Y"),
    text("_Validation", "Description", "Text", "Y"),
]

# The _Validation table as an .idt file for msibuild -i: its columns, their
# types, the table's name with its key, then one row a line.
IDT_HEAD = ("Table\tColumn\tNullable\tMinValue\tMaxValue\tKeyTable\tKeyColumn\tCategory\tSet\tDescription\n"
            "s32\ts32\ts4\tI4\tI4\tS255\tI2\tS32\tS255\tS255\n"
            "_Validation\tTable\tColumn\n")


def idt():
    lines = ["\t".join("" if field is None else str(field) for field in row + (None,)) for row in sorted(ROWS)]
    return IDT_HEAD + "\n".join(lines) + "\n"
