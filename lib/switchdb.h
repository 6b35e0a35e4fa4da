// Switch database: short texts (at most 24 characters) by number.
//
//   1 .. count     the switch texts of the language: DBswitch.data maps
//                  switch n to a record of <letter>switch.data (25 bytes);
//   5000 + k       plot-colour name k (entry 0 is switch 318, then the names
//                  of <letter>plotcolors);
//   6000 + k       paper-size name k (the printers' PAPER list).
//
// Loaded once (InitSwitchDb) and kept for the whole run. Missing or empty
// files give empty tables; every lookup outside a table gives "".
#pragma once

#include <string>

inline constexpr int kSwitchTextSize = 25; // bytes of a record and of a name entry
inline constexpr int kPlotColorSwitchBase = 5000;
inline constexpr int kPaperSwitchBase = 6000;
inline constexpr int kPlotColorFirstSwitch = 318; // names entry 0; 318..326 the defaults
inline constexpr int kPlotColorNotFound = 16;
inline constexpr int kPlotColorEntries = 150;
inline constexpr int kPaperEntries = 30;

// A table of name entries of kSwitchTextSize bytes (at most 24 characters
// each, longer names cut), in one zmalloc block.
class SwitchNameList {
  public:
    SwitchNameList() = default;
    ~SwitchNameList();
    SwitchNameList(const SwitchNameList&) = delete;
    SwitchNameList& operator=(const SwitchNameList&) = delete;

    // Room for capacity entries, emptied; false when no memory can be had.
    bool Allocate(const char* tag, int capacity);
    // Appends a name while there is room.
    void Add(const std::string& name);
    // Entry k, or "" outside 0 .. count-1.
    const char* Entry(int k) const;
    int count() const { return count_; }
    void Release();

  private:
    char* block_ = nullptr;
    const char* tag_ = "";
    int capacity_ = 0;
    int count_ = 0;
};

// 1 when the last FindPlotColor found the name among the English names.
extern int PlotColorFromEnglish;

// Loads everything once: 0, or -22 when no memory can be had (nothing is
// kept then, and the database stays unloaded).
int InitSwitchDb();
// Text n in the language, "" when there is none.
const char* GetSwitchText(int n);
// Text n from the English tables; "" for language 0 (none are loaded).
const char* GetSwitchTextEng(int n);
// The plot-colour number of a name: its entry in the language's names, else
// in the English names (PlotColorFromEnglish set), else kPlotColorNotFound.
int FindPlotColor(const std::string& name);

// Loaders run by InitSwitchDb: 0 or -22. The plot-colour names come from
// {usr,def}_data/misc/<fileName>, entry 0 = entry0; without a file the nine
// texts of switches 318 to 326. The paper sizes come from
// {usr,def}_data/printers/PAPER; without a file the one entry "A".
int ReadPlotColorSwitches(SwitchNameList* list, const std::string& fileName,
                          const std::string& entry0);
int ReadPaperSizeSwitches(SwitchNameList* list);
