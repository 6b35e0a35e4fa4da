// Reset hooks for tests only: they return the library's process-wide state
// ("loaded once" flags, caches) to its start. Production code never calls them.
#pragma once

void SysgenResetForTest();
// Switch database: unloaded, every table freed.
void SwitchDbResetForTest();
// Language support: the font table back to its initial names, the font list
// unread, LanguageCopy 0.
void LanguageResetForTest();
// Error history: empty, the next entry in slot 0.
void ErrHistResetForTest();
// Servo error database: every user freed, the last text "".
void ServoErrorDbResetForTest();
