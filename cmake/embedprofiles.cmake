# Writes OUT, a C++ source that holds every profile of DIR (name.txt) as text,
# so that a program without the profile files beside it (the window's demo on
# Windows) still knows the shipped controllers.
file(GLOB profiles ${DIR}/*.txt)
list(SORT profiles)
set(entries "")
foreach(path ${profiles})
  get_filename_component(name ${path} NAME_WE)
  file(READ ${path} text)
  string(APPEND entries "    {\"${name}\", R\"zavprofile(${text})zavprofile\"},\n")
endforeach()
file(WRITE ${OUT}.new "// Generated from ${DIR} by cmake/embedprofiles.cmake; do not edit.
#include \"sim/shippedprofiles.h\"

namespace {
struct Shipped
{
    const char *name;
    const char *text;
};
const Shipped kShipped[] = {
${entries}};
} // namespace

const char *shippedProfileText(const std::string &name)
{
    for (const Shipped &profile : kShipped) {
        if (name == profile.name)
            return profile.text;
    }
    return nullptr;
}
")
# Unchanged text leaves the file alone, so nothing recompiles.
file(COPY_FILE ${OUT}.new ${OUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUT}.new)
