# The dye table as a library of its own, so the image store and the tests can link
# it without the rest of the program.
add_library(orvdyes STATIC ${CMAKE_CURRENT_LIST_DIR}/DyeTable.cpp)
target_include_directories(orvdyes PUBLIC ${CMAKE_SOURCE_DIR}/framework)
wine_link(orvdyes orvfw)
