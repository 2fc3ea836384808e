# Makes the release folder: the files named on the command line, copied
# into DIST_DIR, and SHA256SUMS beside them, one "hash  name" line each in
# the form sha256sum -c reads.
#
#   cmake -DDIST_DIR=... -DFILES=a;b;c -P dist.cmake
file(REMOVE_RECURSE ${DIST_DIR})
file(MAKE_DIRECTORY ${DIST_DIR})
set(sums "")
set(names "")
foreach(file IN LISTS FILES)
  get_filename_component(name ${file} NAME)
  file(COPY ${file} DESTINATION ${DIST_DIR})
  list(APPEND names ${name})
endforeach()
list(SORT names)
foreach(name IN LISTS names)
  file(SHA256 ${DIST_DIR}/${name} hash)
  string(APPEND sums "${hash}  ${name}\n")
endforeach()
file(WRITE ${DIST_DIR}/SHA256SUMS "${sums}")
