// A progress bar on standard error, drawn only when standard error is a
// terminal: logs and pipes get no control characters.
#ifndef TOOLS_VORNEXA_PROGRESS_H_
#define TOOLS_VORNEXA_PROGRESS_H_

#include <cstddef>
#include <string>

namespace vornexa::cli {

class Progress {
 public:
  Progress(std::string label, size_t total);
  ~Progress() { Clear(); }
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  // Redraws when the shown percentage changes.
  void Update(size_t done);
  // Removes the bar, so that a message can be printed; the next Update
  // draws it again.
  void Clear();

 private:
  void Draw(size_t done);

  std::string label_;
  size_t total_;
  bool enabled_;
  bool shown_ = false;
  int last_percent_ = -1;
};

}  // namespace vornexa::cli

#endif  // TOOLS_VORNEXA_PROGRESS_H_
