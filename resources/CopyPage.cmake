# Script mode: copies the page's files (FILES, relative to SOURCE_DIR, under
# "www/") to DEST_DIR, and Leaflet from NODE_MODULES when it is installed.
# Without Leaflet the page draws the route itself, without map tiles.
foreach(file IN LISTS FILES)
  string(REGEX REPLACE "^www/" "" relative "${file}")
  get_filename_component(subdir "${relative}" DIRECTORY)
  file(COPY "${SOURCE_DIR}/${file}" DESTINATION "${DEST_DIR}/${subdir}")
endforeach()

set(leaflet "${NODE_MODULES}/leaflet")
if(EXISTS "${leaflet}/dist/leaflet.js")
  file(COPY "${leaflet}/dist/leaflet.js" "${leaflet}/dist/leaflet.css" "${leaflet}/dist/images"
    "${leaflet}/LICENSE" DESTINATION "${DEST_DIR}/vendor/leaflet")
else()
  message(STATUS "Leaflet not installed (npm ci): the page shows routes without map tiles")
endif()
