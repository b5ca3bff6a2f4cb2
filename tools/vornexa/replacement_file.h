// Writing a file whole or not at all, and keeping the tool's output off its
// own database.
#ifndef TOOLS_VORNEXA_REPLACEMENT_FILE_H_
#define TOOLS_VORNEXA_REPLACEMENT_FILE_H_

#include <sstream>
#include <string>
#include <string_view>

namespace vornexa::cli {

// A file that takes its new content in one step. The text gathers in
// stream(); Commit() writes it to a new file in the target's folder, syncs
// it and renames it over the target (a symbolic link is followed to the file
// it names). Until then, and whenever Commit() fails, the target keeps its
// old content and no other file is left behind. A target that exists and is
// no regular file (a terminal, a pipe, /dev/stdout) is written directly:
// there is no old content to keep.
class ReplacementFile {
 public:
  // `source` names the command in errors.
  ReplacementFile(std::string target, std::string_view source)
      : target_(std::move(target)), source_(source) {}

  std::ostream& stream() { return text_; }
  // Raises 1000 from the source, naming the file and the system's reason.
  void Commit();

 private:
  void WriteInPlace();

  std::string target_;
  std::string source_;
  std::ostringstream text_;
};

// True when `target` is the database file `database` or one of the files
// the embedded driver keeps beside it (-wal, -shm, -journal), however
// either path is spelled: relative or absolute, through symbolic links, or
// as another hard link to the same file.
bool IsDatabaseFile(const std::string& target, const std::string& database);

}  // namespace vornexa::cli

#endif  // TOOLS_VORNEXA_REPLACEMENT_FILE_H_
