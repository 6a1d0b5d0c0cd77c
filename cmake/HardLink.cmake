# cmake -DFROM=file -DTO=file -P HardLink.cmake: TO becomes a hard link to FROM, or a copy of it where
# no hard link can be made. The linker replaces FROM at every build, so the link is made afresh.
get_filename_component(folder ${TO} DIRECTORY)
file(MAKE_DIRECTORY ${folder})
file(REMOVE ${TO})
file(CREATE_LINK ${FROM} ${TO} COPY_ON_ERROR)
