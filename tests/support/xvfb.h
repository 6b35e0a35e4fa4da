// A private X server for a test: Xvfb on a free display, DISPLAY set while
// it lives.
#pragma once

#include <cstdlib>
#include <string>
#include <sys/types.h>

// Where a test saves a screenshot of that name: QEL_SCREENSHOT_DIR, or the
// working folder when that is not set.
inline std::string ScreenshotPath(const std::string& name) {
    const char* dir = std::getenv("QEL_SCREENSHOT_DIR");
    return std::string(dir && *dir ? dir : ".") + "/" + name;
}

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
