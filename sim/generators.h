// Generators of the demo tree's binary files, each from its readable source
// in the demo folder. Each takes the demo source folder and the sandbox root;
// a missing source is no error (the file is simply not made).
#pragma once

#include <map>
#include <string>

using TreeGenerator = bool (*)(const std::string& source, const std::string& root,
                               std::string* error);

// demo/sysgen.txt -> sys_data/files/sysgen.bin and Dsysgen.bin
bool GenerateSysgen(const std::string& source, const std::string& root, std::string* error);
// demo/password.txt -> sys_data/files/password.bin
bool GeneratePassword(const std::string& source, const std::string& root, std::string* error);
// demo/uart.txt -> sys_data/files/uart.bin
bool GenerateUart(const std::string& source, const std::string& root, std::string* error);
// The same with the SERVO record's controller type ("KROMI" ...) and
// description replaced.
bool GenerateUartWithServo(const std::string& source, const std::string& root,
                           const std::string& type, const std::string& description,
                           std::string* error);
// demo/labels/<letter>.txt -> database/<letter>vok.data
bool GenerateLabels(const std::string& source, const std::string& root, std::string* error);
// demo/switch.txt -> database/DBswitch.data and <letter>switch.data
bool GenerateSwitch(const std::string& source, const std::string& root, std::string* error);
// demo/title.txt -> database/<letter>title.data
bool GenerateTitles(const std::string& source, const std::string& root, std::string* error);
// demo/servo.txt -> database/DBservo.data and <letter>servo.data
bool GenerateServo(const std::string& source, const std::string& root, std::string* error);
// demo/syspar.txt -> sys_data/files/syspar.bin
bool GenerateSysPar(const std::string& source, const std::string& root, std::string* error);
// demo/tools.txt -> run_data/toolchange/ToolInvList and TIL.ACR1
bool GenerateTools(const std::string& source, const std::string& root, std::string* error);
// demo/sysgen.txt with some items replaced -> sysgen.bin and Dsysgen.bin
struct SysgenItem;
bool GenerateSysgenWith(const std::string& source, const std::string& root,
                        const std::map<int, SysgenItem>& replaced, std::string* error);
// demo/estest.txt -> database/estest.data
bool GenerateStest(const std::string& source, const std::string& root, std::string* error);
