# Assembles the browser game's static site (run with cmake -P after the game is linked): the
# program, the page, the icons, and the service worker with the list of those files and a version
# made from their content, so that a new build replaces every kept file at once.
# Inputs: SITE (the folder to fill), PAGE (the page's source folder), PROGRAM (kelvora.js; its
# .wasm beside it), ICONS (the folder of the generated icons).
get_filename_component(program_dir "${PROGRAM}" DIRECTORY)
set(page_files index.html kelvora.css kelvora_page.js manifest.webmanifest)
set(icon_files kelvora-48.png kelvora-64.png kelvora-128.png kelvora-192.png)
# Made afresh, so that nothing of an older build stays to be served.
file(REMOVE_RECURSE "${SITE}")
file(MAKE_DIRECTORY "${SITE}")
set(listed "\"./\"")
set(content "")
foreach(name ${page_files})
  configure_file("${PAGE}/${name}" "${SITE}/${name}" COPYONLY)
endforeach()
foreach(name ${icon_files})
  configure_file("${ICONS}/${name}" "${SITE}/${name}" COPYONLY)
endforeach()
configure_file("${program_dir}/kelvora.js" "${SITE}/kelvora.js" COPYONLY)
configure_file("${program_dir}/kelvora.wasm" "${SITE}/kelvora.wasm" COPYONLY)
foreach(name ${page_files} ${icon_files} kelvora.js kelvora.wasm)
  string(APPEND listed ", \"${name}\"")
  file(SHA256 "${SITE}/${name}" hash)
  string(APPEND content "${hash}")
endforeach()
string(SHA256 version "${content}")
string(SUBSTRING "${version}" 0 16 KELVORA_SITE_VERSION)
set(KELVORA_SITE_FILES "${listed}")
configure_file("${PAGE}/sw.js" "${SITE}/sw.js" @ONLY)
