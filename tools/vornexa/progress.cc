#include "tools/vornexa/progress.h"

#include <unistd.h>

#include <cstdio>

namespace vornexa::cli {

namespace {
constexpr int kBarWidth = 30;
}

Progress::Progress(std::string label, size_t total)
    : label_(std::move(label)), total_(total), enabled_(isatty(STDERR_FILENO) == 1) {}

void Progress::Update(size_t done) {
  if (!enabled_ || total_ == 0) return;
  const int percent = static_cast<int>(done * 100 / total_);
  if (percent == last_percent_ && shown_) return;
  last_percent_ = percent;
  Draw(done);
}

void Progress::Draw(size_t done) {
  const int filled = last_percent_ * kBarWidth / 100;
  std::string bar(filled, '#');
  bar.append(kBarWidth - filled, '.');
  std::fprintf(stderr, "\r%s [%s] %3d%% %zu/%zu", label_.c_str(), bar.c_str(), last_percent_,
               done, total_);
  std::fflush(stderr);
  shown_ = true;
}

void Progress::Clear() {
  if (!shown_) return;
  std::fprintf(stderr, "\r\033[K");
  std::fflush(stderr);
  shown_ = false;
}

}  // namespace vornexa::cli
