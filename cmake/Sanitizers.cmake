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
