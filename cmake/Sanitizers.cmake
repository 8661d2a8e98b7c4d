# K720_SANITIZE=address builds everything with AddressSanitizer + UndefinedBehaviorSanitizer,
# K720_SANITIZE=thread with ThreadSanitizer. Applied globally so that every library and test agrees.
if(K720_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
elseif(K720_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(NOT K720_SANITIZE STREQUAL "")
  message(FATAL_ERROR "K720_SANITIZE must be empty, 'address' or 'thread'")
endif()
# A sanitized build is there to find faults, not to run fast: -O1 (what both sanitizers advise)
# with line tables only (-g1) still names file and line in every report, and compiles in about
# half the time of -O2 -g.
if(NOT K720_SANITIZE STREQUAL "" AND CMAKE_BUILD_TYPE STREQUAL "RelWithDebInfo")
  set(CMAKE_CXX_FLAGS_RELWITHDEBINFO "-O1 -g1 -DNDEBUG")
endif()
