// Writing a file whole or not at all, and keeping the tool's output off its
// own database.
#ifndef TOOLS_VORNEXA_REPLACEMENT_FILE_H_
#define TOOLS_VORNEXA_REPLACEMENT_FILE_H_

#include <fstream>
#include <string>
#include <string_view>

namespace vornexa::cli {

// A file that takes its new content in one step. The text goes, as it is
// written, to a new file made at construction in the target's folder;
// Commit() syncs it and renames it over the target (a symbolic link is
// followed to the file it names). Until then, and whenever it fails, the
// target keeps its old content, and the new file goes with the object. A
// target that exists and is no regular file (a terminal, a pipe,
// /dev/stdout) is written directly: there is no old content to keep.
// Failures raise 1000 from `source`, naming the file and the system's reason.
class ReplacementFile {
 public:
  ReplacementFile(std::string target, std::string_view source);
  ~ReplacementFile();
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  // Buffered; a failure is raised by Commit().
  void Write(std::string_view text);
  void Commit();

 private:
  [[noreturn]] void Fail(const std::string& what, int error) const;
  void Flush();

  std::string target_;
  std::string source_;
  std::string temporary_;  // the new file; empty when writing the target directly
  std::string destination_;
  int fd_ = -1;
  std::string buffer_;
  int write_error_ = 0;  // errno of the first write that failed
};

// A scratch file for `source`'s own use, read and written through the
// stream: it has no name, and its space is freed when the stream closes.
std::fstream AnonymousFile(std::string_view source);

// True when `target` is the database file `database` or one of the files
// the embedded driver keeps beside it (-wal, -shm, -journal), however
// either path is spelled: relative or absolute, through symbolic links, or
// as another hard link to the same file; and the files beside any other
// name of the database file (a hard link), which a connection through that
// name keeps.
bool IsDatabaseFile(const std::string& target, const std::string& database);

}  // namespace vornexa::cli

#endif  // TOOLS_VORNEXA_REPLACEMENT_FILE_H_
