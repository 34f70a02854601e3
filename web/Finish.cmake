# Run after the browser build is linked (cmake -P, from web/Web.cmake):
# copies the manifest and icons beside the page, writes the service worker
# with the list of the page's files and a hash of them, and compresses each
# served file with gzip and brotli (index.html.gz, index.html.br, ...).
# SOURCE is the web/ folder, OUT the build folder, GZIP and BROTLI the tools.
file(COPY ${SOURCE}/manifest.webmanifest ${SOURCE}/icons DESTINATION ${OUT})

# emscripten's file packager names the data package with a random UUID: a
# hash of the data names it alike in every build, and anew when it changes.
file(SHA256 ${OUT}/index.data data)
file(READ ${OUT}/index.js js)
string(REGEX REPLACE "\"package_uuid\":\"[^\"]*\"" "\"package_uuid\":\"${data}\"" js "${js}")
file(WRITE ${OUT}/index.js "${js}")

set(files index.html index.js index.wasm index.data manifest.webmanifest
  icons/192.png icons/512.png icons/maskable-512.png)
set(hashes "")
set(list "'./'")
foreach(name ${files})
  file(SHA256 ${OUT}/${name} hash)
  string(APPEND hashes "${hash} ${name}\n")
  string(APPEND list ", '${name}'")
endforeach()
string(SHA256 all "${hashes}")
string(SUBSTRING ${all} 0 16 HASH)
file(READ ${SOURCE}/sw.js worker)
string(REPLACE "@HASH@" ${HASH} worker "${worker}")
string(REPLACE "@FILES@" "${list}" worker "${worker}")
file(WRITE ${OUT}/sw.js "${worker}")

# The pictures and icons are compressed already; the rest shrinks by half or
# more.
foreach(name index.html index.js index.wasm index.data manifest.webmanifest sw.js)
  execute_process(COMMAND ${GZIP} -9 -n -k -f ${OUT}/${name} RESULT_VARIABLE failed)
  if(NOT failed)
    execute_process(COMMAND ${BROTLI} -q 11 -f -k ${OUT}/${name} RESULT_VARIABLE failed)
  endif()
  if(failed)
    message(FATAL_ERROR "could not compress ${name}")
  endif()
endforeach()
