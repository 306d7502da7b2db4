// Scrolling a band of an image up one strip at a time without moving the
// band's rows every time. The text window scrolls for every line printed on
// its last row; moving the whole band per line made long output slow. Here
// a scroll only keeps a copy of the band's last strip, and the rows move
// once, when anything touches the band's upper part.
#pragma once

#include <QImage>

#include <vector>

namespace win::detail {

class DeferredScroll {
 public:
  // The effect of copying rows [top + by, bottom) to [top, bottom - by)
  // over the image's full width: the last `by` rows keep their pixels.
  void Scroll(QImage& img, int top, int bottom, int by);
  // Moves the rows to where they belong.
  void Settle(QImage& img);
  // Whether rows [y0, y1) hold their pixels already, so they may be read
  // or drawn without settling.
  bool Settled(int y0, int y1) const { return count_ == 0 || y1 <= top_ || y0 >= bottom_ - by_; }

 private:
  int top_ = 0, bottom_ = 0, by_ = 0;
  int count_ = 0;  // scrolls not yet applied
  int slots_ = 0;
  qsizetype rowBytes_ = 0;
  int height_ = 0;
  // The last strip as it was at each scroll, the latest `slots_` of them.
  std::vector<uchar> strips_;
};

}  // namespace win::detail
