// Servo self-test terminal.
#pragma once

// Opens the self test over the service screen; returns when it has ended.
void ShowSelfTest();
