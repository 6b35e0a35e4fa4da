// The controller self test without X: a small terminal on the line of a
// family A controller. It opens the line itself (outside the controller
// interface), enters the controller's prompt, sends typed lines and the
// mode and status commands, assembles the reply lines, decodes a status
// reply into texts (status bits from estest.data, error bits from the servo
// error database) and runs the exit sequence. What it shows goes through a
// sink that the screen implements.
//
// Line states: 0 debug mode (the controller answers with its '.' prompt),
// 1 normal mode, 2 status query running. In states 1 and 2 each read pass
// is framed by ACK XON before it and XOFF after it.
#pragma once

#include <string>

inline constexpr int kStestDebug = 0;
inline constexpr int kStestNormal = 1;
inline constexpr int kStestStatus = 2;

// The lines the reply list keeps; the next one removes the oldest.
inline constexpr int kStestListLines = 9;

class SelfTestSink {
  public:
    virtual ~SelfTestSink() = default;
    // A line at the bottom of the reply list (never empty, never the bare
    // prompt "."), and the removal of its oldest line.
    virtual void AddLine(const std::string& text) = 0;
    virtual void DropOldest() = 0;
    // The mode row of the header: its label, in the debug look or not.
    virtual void ShowMode(int label, bool debug) = 0;
    // A message to the operator: the label's text.
    virtual void Message(int label) = 0;
    // One pass over the screen's events (between the steps of the exit).
    virtual void EventPass() = 0;
};

// Opens the line for the sink: the SERVO record's line settings on
// /dev/M_SERVO (the record's own device when that is missing), and the
// servo error database. 0 when the self test may start (the line may still
// have failed to open: nothing is read or written then); -1 after a message
// (label 87 no SERVO record, nothing opened; label 88 the database cannot
// be read, everything closed again).
int OpenServoPort(SelfTestSink* sink);
// The status texts, the controller's prompt and the mode row.
void StartSelfTest();
// One read pass (at most one line, each byte waited for at most the read
// time-out; the pass itself ends after 512 bytes or 2 s of waiting, as a
// time-out ends it): false when it was skipped without waiting (nothing can
// be read: estest.data missing, or the line not open).
bool inecho();

// The buttons: the status query (states 1 and 2), debug mode on (states 1
// and 2), debug mode off.
void StestStatusQuery();
void StestDebugOn();
void StestDebugOff();
// A line typed into the entry field: cut at its first CR or LF, '~' sent as
// ESC, then CR LF (and XON in debug mode); an empty entry sends CR LF only.
// In state 2 it restarts the status query instead. Answers the text to
// echo: the cut line, or "" for an empty entry (the echo is left as it was).
std::string StestTypedLine(const std::string& entry);

// The exit: debug mode left, the replies read, a last status query read
// and decoded (20 passes with an event pass each), ACK XON...
void StestExitQueries();
// ... then XON CR LF, and the line, estest.data and the database closed.
void StestExitClose();

// The line state, for tests.
int StestState();

// The steps, as the screen and the tests reach them.
// What a read pass does with one byte (0: a time-out): false when the pass
// ends there.
bool TakeServoByte(int b);
void EnterServoPrompt();
void SendServoLine(const std::string& text);
void ParseStatusReply(const std::string& line);
void NextStatusGroup();
void ShowStestRecord(int n);
void ShowServoError(int n);
void AddStestLine(const std::string& text);
void OpenStestData();
void CloseServoPort();
