// A private X server for a test: Xvfb on a free display, DISPLAY set while
// it lives.
#pragma once

#include <string>
#include <sys/types.h>

class XvfbServer {
  public:
    explicit XvfbServer(int width = 800, int height = 600, int depth = 24);
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    bool ok() const { return pid_ > 0 && !display_.empty(); }
    const std::string& display() const { return display_; }
    // Saves the screen as PNG (ImageMagick's import); false when that fails.
    bool Screenshot(const std::string& pngPath) const;

  private:
    pid_t pid_ = -1;
    std::string display_;
    std::string oldDisplay_;
    bool hadDisplay_ = false;
};
