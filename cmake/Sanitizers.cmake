# Sanitizer flags for the test builds. UBSan aborts on the first finding so
# that undefined behaviour fails the test instead of printing a warning.
if(QEV_SANITIZER STREQUAL "address")
  set(QEV_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
elseif(QEV_SANITIZER STREQUAL "thread")
  set(QEV_SANITIZER_FLAGS -fsanitize=thread -fno-omit-frame-pointer)
elseif(NOT QEV_SANITIZER STREQUAL "")
  message(FATAL_ERROR "QEV_SANITIZER must be address, thread or empty")
endif()

if(QEV_SANITIZER_FLAGS)
  add_compile_options(${QEV_SANITIZER_FLAGS})
  add_link_options(${QEV_SANITIZER_FLAGS})
endif()

# The fuzz build instruments everything for coverage; only the fuzz targets
# link libFuzzer's main.
if(QEV_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
