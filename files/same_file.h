// Whether two paths name one file, however they are spelt: relative or absolute, with "." and
// "..", through linked folders, as a link to the other, or (once the file exists) as a hard link
// or another spelling the file system takes for the same name. Also for a file that does not exist
// yet: two destinations that would be written to one place are found before either is written.
#pragma once

#include <string>

namespace files {

[[nodiscard]] bool NameTheSameFile(const std::string& first, const std::string& second);

} // namespace files
