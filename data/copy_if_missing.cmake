# Copies SOURCE to TARGET only when TARGET does not exist yet: a language the user chose in
# the build folder is kept across builds.
if(NOT EXISTS "${TARGET}")
  file(COPY_FILE "${SOURCE}" "${TARGET}")
endif()
