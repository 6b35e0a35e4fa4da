// Const-correct doors to Motif and Xt calls whose C prototypes take char*
// for texts they never change. The casts live here and nowhere else.
#pragma once

#include <Xm/Xm.h>

#include <string>

// The one tag of the program's texts: every font list it makes holds its
// font or font set under it, and every compound string it makes carries it,
// so a text finds its font by its tag in every language. (A text tagged with
// a character set finds an entry under this tag too; a text under this tag
// would miss an entry under a character set.)
inline char* TextTag() {
    return const_cast<char*>(XmFONTLIST_DEFAULT_TAG);
}

// A compound string of the text, with line breaks; the caller frees it.
inline XmString MakeXmString(const std::string& text) {
    return XmStringCreateLtoR(const_cast<char*>(text.c_str()), TextTag());
}

// A compound string of the text as one segment (a line break is a
// character like any other); the caller frees it.
inline XmString MakeXmSegment(const std::string& text) {
    return XmStringCreate(const_cast<char*>(text.c_str()), TextTag());
}

// A one-font font list; the caller frees it (widgets keep copies).
inline XmFontList MakeFontList(XFontStruct* font) {
    return XmFontListCreate(font, TextTag());
}

// A one-entry font list of a font set; the caller frees it.
inline XmFontList MakeFontSetList(XFontSet set) {
    XmFontListEntry e =
        XmFontListEntryCreate(TextTag(), XmFONT_IS_FONTSET, static_cast<XtPointer>(set));
    XmFontList list = XmFontListAppendEntry(nullptr, e);
    XmFontListEntryFree(&e);
    return list;
}

// A pixmap of an image file through Motif's pixmap cache (the path as the
// OS sees it).
inline Pixmap GetPixmapFile(Screen* screen, const std::string& osPath, Pixel fg, Pixel bg) {
    return XmGetPixmap(screen, const_cast<char*>(osPath.c_str()), fg, bg);
}

// Owns a compound string for the length of a scope.
class XmStringHolder {
  public:
    explicit XmStringHolder(const std::string& text) : s_(MakeXmString(text)) {}
    ~XmStringHolder() { XmStringFree(s_); }
    XmStringHolder(const XmStringHolder&) = delete;
    XmStringHolder& operator=(const XmStringHolder&) = delete;
    operator XmString() const { return s_; }

  private:
    XmString s_;
};

// An argument list built up one resource at a time.
class ArgBuilder {
  public:
    ArgBuilder& Add(const char* name, XtArgVal value) {
        if (n_ < kMax) {
            args_[n_].name = const_cast<String>(name);
            args_[n_].value = value;
            ++n_;
        }
        return *this;
    }
    ArgList list() { return args_; }
    Cardinal count() const { return n_; }

  private:
    static constexpr Cardinal kMax = 32;
    Arg args_[kMax];
    Cardinal n_ = 0;
};

// A resource name as Xt's C prototypes want it.
inline String XtRes(const char* name) {
    return const_cast<String>(name);
}
