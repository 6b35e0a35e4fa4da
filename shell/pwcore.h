// User levels without X: the password file, the prompt file, and what a
// check of a protected item decides (may it go on, which level is asked, is
// an entry accepted). The dialog in password.cpp sits on top of this.
#pragma once

#include <cstdint>
#include <string>

inline constexpr int kPwSlots = 10;
inline constexpr int kPwSlotBytes = 11;
inline constexpr int kPwItems = 70;
inline constexpr int kPwPrompts = 10;
inline constexpr int kPwPromptLength = 70;
inline constexpr size_t kPwFileBytes = 672;
inline constexpr size_t kPwMaskOffset = 112;
inline constexpr size_t kPwAskOffset = 392;

inline constexpr const char* kPwFileName = "/u/qel/sys_data/files/password.bin";
// The one password of the Service level, whatever the file holds.
inline constexpr const char* kServicePassword = "TRAVOLMIX";
inline constexpr const char* kDefaultPassword = "KT7";

// Slot 0 Operator, 1 Programmer, 2 Manager, 3 Service.
enum PwLevel { PW_OPERATOR = 0, PW_PROGRAMMER = 1, PW_MANAGER = 2, PW_SERVICE = 3 };

// The password file as the program holds it: the slots decoded, each
// NUL-ended within its 11 bytes.
struct PasswordRecord {
    char slot[kPwSlots][kPwSlotBytes];
    int32_t mask[kPwItems];
    int32_t ask[kPwItems];
};

// Clears the record to zero.
void PwClearRecord(PasswordRecord* rec);
// Decodes one stored slot in place: byte i less i; what is not an ASCII
// letter or digit becomes NUL; the eleventh byte is NUL.
void PwUnscramble(char* slot);
// The fixed Service password and the fixed items 12 and 21 to 24.
void PwForceDefaults(PasswordRecord* rec);
// Reads the password file into rec (which the caller has cleared); 1 when the
// file was there, 0 when not (warning printed, built-in passwords set).
int PwReadFile(PasswordRecord* rec);
// Reads the prompt file of the language into the prompt table.
void PwReadPrompts(int language);

// The level whose prompt an item mask asks for: the highest of bits 0 to 3,
// -1 when none is set.
int PwMaskLevel(int32_t mask);
// Whether a slot may answer for the level asked.
bool PwSlotAccepted(int level, int slot);

// The program's loaded state, as PasswordInit leaves it.
// Clears the record and reads the prompts and the password file again.
void PwLoad(int language);
const PasswordRecord& PwRecord();
const std::string& PwPrompt(int level);
// The language of the last PwReadPrompts (0 to 6); the dialog's fonts follow it.
int PwLanguage();

// The level to ask for the item, or -1 when it may go on without asking.
int PwLevelToAsk(int item);
// Whether the entry (its first 10 characters) equals the password of a slot
// that the level accepts. An accepted entry for an item asked once per run
// stops the asking for it.
bool PwAcceptEntry(int item, int level, const char* entry);

// Tests only: the record and the prompts back to their start.
void PwCoreResetForTest();
