// Deferred scrolling of an image band.
#include "deferred_scroll.h"

#include <algorithm>
#include <cstring>

namespace win::detail {

void DeferredScroll::Scroll(QImage& img, int top, int bottom, int by) {
  top = std::max(top, 0);
  bottom = std::min(bottom, img.height());
  const int moving = bottom - top - by;
  if (by <= 0 || moving <= 0) return;  // nothing moves
  if (count_ && (top != top_ || bottom != bottom_ || by != by_ || img.bytesPerLine() != rowBytes_ ||
                 img.height() != height_))
    Settle(img);
  if (!count_) {
    top_ = top, bottom_ = bottom, by_ = by;
    rowBytes_ = img.bytesPerLine();
    height_ = img.height();
    // Older strips have scrolled out of the band.
    slots_ = (moving + by - 1) / by;
    strips_.resize(static_cast<size_t>(slots_) * static_cast<size_t>(by) * static_cast<size_t>(rowBytes_));
  }
  // Band rows stacked: the moving rows as they were at the first scroll,
  // then the last strip as it was at each scroll since.
  uchar* slot = strips_.data() + static_cast<size_t>(count_ % slots_) * static_cast<size_t>(by) * rowBytes_;
  for (int r = 0; r < by; ++r)
    std::memcpy(slot + r * rowBytes_, img.constScanLine(bottom - by + r), static_cast<size_t>(rowBytes_));
  ++count_;
}

void DeferredScroll::Settle(QImage& img) {
  if (!count_) return;
  if (img.height() != height_ || img.bytesPerLine() != rowBytes_) {
    count_ = 0;  // a new image: nothing of the old one to move
    return;
  }
  const int moving = bottom_ - top_ - by_;
  const long long shift = static_cast<long long>(count_) * by_;
  // Row top + i takes stacked row i + shift; top to bottom, a row of the
  // band is read before anything overwrites it.
  for (int i = 0; i < moving; ++i) {
    long long j = i + shift;
    uchar* out = img.scanLine(top_ + i);
    if (j < moving) {
      std::memmove(out, img.constScanLine(top_ + static_cast<int>(j)), static_cast<size_t>(rowBytes_));
    } else {
      long long k = j - moving;
      long long scroll = k / by_;
      int row = static_cast<int>(k % by_);
      const uchar* slot =
          strips_.data() + static_cast<size_t>(scroll % slots_) * static_cast<size_t>(by_) * rowBytes_;
      std::memcpy(out, slot + row * rowBytes_, static_cast<size_t>(rowBytes_));
    }
  }
  count_ = 0;
}

}  // namespace win::detail
