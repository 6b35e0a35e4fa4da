// User levels without an X server: the password file's decoding and fixed
// values, the level each item asks for, which entries a level accepts, the
// ask-once memory, and the prompt file.
#include <gtest/gtest.h>

#include "password.h"
#include "pwcore.h"
#include "records_password.h"
#include "sandbox.h"

#include <cstring>

namespace {

const char* const kPwFile = "/u/qel/sys_data/files/password.bin";

std::string Slot(const PasswordRecord& rec, int s) {
    return std::string(rec.slot[s]);
}

// A record read from the given file bytes.
PasswordRecord ReadBytes(const Sandbox& box, const std::string& bytes) {
    box.Write(kPwFile, bytes);
    PasswordRecord rec;
    PwClearRecord(&rec);
    EXPECT_EQ(PwReadFile(&rec), 1);
    return rec;
}

class PasswordCore : public testing::Test {
  protected:
    void SetUp() override { PwCoreResetForTest(); }
    void TearDown() override { PwCoreResetForTest(); }
    void Load(const PasswordFileData& data, int language = 0) {
        box.Write(kPwFile, EncodePasswordFile(data));
        PwLoad(language);
    }
    Sandbox box;
};

TEST_F(PasswordCore, SlotsDecodeToLettersAndDigitsOnly) {
    struct Case {
        std::string raw; // the ten stored bytes, before the terminator
        const char* decoded;
    };
    auto stored = [](const std::string& plain) {
        std::string s(10, '\0');
        for (int i = 0; i < 10; ++i)
            s[i] = static_cast<char>((i < static_cast<int>(plain.size()) ? plain[i] : 0) + i);
        return s;
    };
    const Case cases[] = {
        {stored("KT7"), "KT7"},
        {stored("ab!cd"), "ab"},              // stops at the first other character
        {stored("Zz09"), "Zz09"},             // range ends
        {stored("caf\xe9"), "caf"},           // a Latin-1 letter is no password character
        {stored("a@[`{/:"), "a"},             // neighbours of the ASCII ranges
        {stored("ABCDEFGHIJ"), "ABCDEFGHIJ"}, // all ten positions
        {std::string(10, '\0'), ""},          // zero bytes wrap below zero: no characters
    };
    for (const Case& c : cases) {
        char slot[11];
        std::memcpy(slot, c.raw.data(), 10);
        slot[10] = 'X';
        PwUnscramble(slot);
        EXPECT_STREQ(slot, c.decoded);
        EXPECT_EQ(slot[10], '\0');
    }
}

TEST_F(PasswordCore, FileIsReadAndFixedValuesWin) {
    PasswordFileData data;
    data.slot[0] = "oper1";
    data.slot[1] = "Prog2";
    data.slot[2] = "boss3";
    data.slot[3] = "notmine";
    data.slot[9] = "last";
    data.mask[1] = 2;
    data.ask[1] = 1;
    data.mask[69] = 0x13;
    data.ask[69] = -7;
    data.mask[12] = 1; // the file tries to open the fixed items
    data.ask[12] = 0;
    for (int item = 21; item <= 24; ++item) data.mask[item] = data.ask[item] = 0;
    PasswordRecord rec = ReadBytes(box, EncodePasswordFile(data));
    EXPECT_EQ(Slot(rec, 0), "oper1");
    EXPECT_EQ(Slot(rec, 1), "Prog2");
    EXPECT_EQ(Slot(rec, 2), "boss3");
    EXPECT_EQ(Slot(rec, 3), "TRAVOLMIX");
    EXPECT_EQ(Slot(rec, 9), "last");
    EXPECT_EQ(rec.mask[1], 2);
    EXPECT_EQ(rec.ask[1], 1);
    EXPECT_EQ(rec.mask[69], 0x13);
    EXPECT_EQ(rec.ask[69], -7);
    EXPECT_EQ(rec.mask[12], 4);
    EXPECT_EQ(rec.ask[12], 2);
    for (int item = 21; item <= 24; ++item) {
        EXPECT_EQ(rec.mask[item], 8) << item;
        EXPECT_EQ(rec.ask[item], 2) << item;
    }
}

TEST_F(PasswordCore, ShortAndEmptyFilesReadTheirPrefix) {
    PasswordFileData data;
    data.slot[0] = "oper1";
    data.slot[9] = "last";
    data.mask[0] = 1;
    data.mask[1] = 2;
    data.mask[2] = 4; // at 120, beyond the short file
    data.ask[1] = 2;
    PasswordRecord rec = ReadBytes(box, EncodePasswordFile(data).substr(0, 120));
    EXPECT_EQ(Slot(rec, 0), "oper1");
    EXPECT_EQ(Slot(rec, 9), "last");
    EXPECT_EQ(rec.mask[0], 1);
    EXPECT_EQ(rec.mask[1], 2);
    EXPECT_EQ(rec.mask[2], 0);
    EXPECT_EQ(rec.ask[1], 0);
    EXPECT_EQ(rec.mask[12], 4);
    EXPECT_EQ(Slot(rec, 3), "TRAVOLMIX");

    rec = ReadBytes(box, "");
    EXPECT_EQ(Slot(rec, 0), "");
    EXPECT_EQ(Slot(rec, 3), "TRAVOLMIX");
    EXPECT_EQ(rec.mask[21], 8);
}

TEST_F(PasswordCore, MissingFileWarnsAndLeavesEveryItemOpen) {
    testing::internal::CaptureStdout();
    PwLoad(0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "\nWARNING: BINARY PASSWORD FILE NOT FOUND!\n\n");
    const PasswordRecord& rec = PwRecord();
    for (int s = 0; s < 3; ++s) EXPECT_EQ(Slot(rec, s), "KT7");
    EXPECT_EQ(Slot(rec, 3), "TRAVOLMIX");
    for (int item = 0; item < 70; ++item) EXPECT_EQ(PwLevelToAsk(item), -1) << item;
}

TEST_F(PasswordCore, LevelAskedFollowsMaskAndAskMode) {
    struct Case {
        int mask, ask, level;
    };
    const Case cases[] = {
        {0, 2, -1},    {1, 2, 0},    {2, 2, 1},  {3, 2, 1},  {4, 2, 2}, {8, 2, 3}, {12, 1, 3},
        {0x10, 2, -1}, {0x13, 2, 1}, {-1, 2, 3}, {4, 0, -1}, {4, 1, 2}, {4, 7, 2}, {4, -1, 2},
    };
    for (const Case& c : cases) {
        PasswordFileData data;
        data.mask[40] = c.mask;
        data.ask[40] = c.ask;
        Load(data);
        EXPECT_EQ(PwLevelToAsk(40), c.level) << "mask " << c.mask << " ask " << c.ask;
    }
    // Items outside 1 to 69 ask nothing, whatever the file says of item 0.
    PasswordFileData data;
    data.mask[0] = 8;
    data.ask[0] = 2;
    Load(data);
    for (int item : {-1, 0, 70, 1000}) EXPECT_EQ(PwLevelToAsk(item), -1) << item;
    // The fixed items ask whatever the file says.
    EXPECT_EQ(PwLevelToAsk(12), PW_MANAGER);
    for (int item = 21; item <= 24; ++item) EXPECT_EQ(PwLevelToAsk(item), PW_SERVICE);
}

TEST_F(PasswordCore, EachLevelAcceptsItsOwnAndHigherSlots) {
    PasswordFileData data;
    data.slot[0] = "oper1";
    data.slot[1] = "prog2";
    data.slot[2] = "boss3";
    data.slot[4] = "spare4";
    Load(data);
    struct Case {
        int level;
        const char* entry;
        bool accepted;
    };
    const Case cases[] = {
        {PW_OPERATOR, "oper1", true},     {PW_OPERATOR, "prog2", true},
        {PW_OPERATOR, "boss3", true},     {PW_OPERATOR, "TRAVOLMIX", false},
        {PW_OPERATOR, "spare4", false},   {PW_PROGRAMMER, "oper1", false},
        {PW_PROGRAMMER, "prog2", true},   {PW_PROGRAMMER, "boss3", true},
        {PW_MANAGER, "prog2", false},     {PW_MANAGER, "boss3", true},
        {PW_MANAGER, "TRAVOLMIX", false}, {PW_SERVICE, "boss3", true},
        {PW_SERVICE, "TRAVOLMIX", true},  {PW_SERVICE, "prog2", false},
        {PW_MANAGER, "BOSS3", false},     {PW_MANAGER, "boss", false},
        {PW_MANAGER, "boss33", false},    {PW_MANAGER, "", false},
        {PW_OPERATOR, nullptr, false},    {PW_SERVICE, "travolmix", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PwAcceptEntry(40, c.level, c.entry), c.accepted)
            << "level " << c.level << " entry " << (c.entry ? c.entry : "(null)");
}

TEST_F(PasswordCore, EmptySlotAcceptsAnEmptyEntryAndTenCharactersCount) {
    PasswordFileData data;
    data.slot[1] = "prog2";
    data.slot[2] = "ABCDEFGHIJ";
    Load(data);
    EXPECT_TRUE(PwAcceptEntry(40, PW_OPERATOR, ""));
    EXPECT_FALSE(PwAcceptEntry(40, PW_PROGRAMMER, ""));
    EXPECT_TRUE(PwAcceptEntry(40, PW_MANAGER, "ABCDEFGHIJ"));
    EXPECT_TRUE(PwAcceptEntry(40, PW_MANAGER, "ABCDEFGHIJK"));
    EXPECT_FALSE(PwAcceptEntry(40, PW_MANAGER, "ABCDEFGHI"));
}

TEST_F(PasswordCore, AskOnceEndsAtTheFirstCorrectEntryUntilReloaded) {
    PasswordFileData data;
    data.slot[0] = "oper1";
    data.mask[7] = 1;
    data.ask[7] = 1;
    data.mask[8] = 1;
    data.ask[8] = 2;
    Load(data);
    EXPECT_FALSE(PwAcceptEntry(7, PW_OPERATOR, "wrong"));
    EXPECT_EQ(PwLevelToAsk(7), PW_OPERATOR);
    EXPECT_TRUE(PwAcceptEntry(7, PW_OPERATOR, "oper1"));
    EXPECT_EQ(PwLevelToAsk(7), -1);
    EXPECT_TRUE(PwAcceptEntry(8, PW_OPERATOR, "oper1"));
    EXPECT_EQ(PwLevelToAsk(8), PW_OPERATOR);
    PwLoad(0);
    EXPECT_EQ(PwLevelToAsk(7), PW_OPERATOR);
}

TEST_F(PasswordCore, PromptLinesGiveTheTextAfterTheirLead) {
    const std::string longText(90, 'L');
    box.Write("/u/qel/database/epwprompt.txt", "# comment\n"
                                               "0  Operator here\n"
                                               "#1  skipped\n"
                                               "1  Programmer, CRLF\r\n"
                                               "2  " +
                                                   longText +
                                                   "\n"
                                                   "\n"
                                                   "ab\n"
                                                   "5  after the short ones\n"
                                                   "6  no line end");
    PwReadPrompts(0);
    EXPECT_EQ(PwPrompt(0), "Operator here");
    EXPECT_EQ(PwPrompt(1), "Programmer, CRLF");
    EXPECT_EQ(PwPrompt(2), std::string(70, 'L'));
    EXPECT_EQ(PwPrompt(3), "");
    EXPECT_EQ(PwPrompt(4), "");
    EXPECT_EQ(PwPrompt(5), "after the short ones");
    EXPECT_EQ(PwPrompt(6), "no line end");
    EXPECT_EQ(PwPrompt(7), "");

    // A shorter file with a comment last: reading ends at the end of the
    // file, and the prompts it does not reach keep their text.
    box.Write("/u/qel/database/epwprompt.txt", "0  New operator\n1  New programmer\n# end\n");
    PwReadPrompts(0);
    EXPECT_EQ(PwPrompt(0), "New operator");
    EXPECT_EQ(PwPrompt(1), "New programmer");
    EXPECT_EQ(PwPrompt(2), std::string(70, 'L'));
    EXPECT_EQ(PwPrompt(6), "no line end");
}

TEST_F(PasswordCore, PromptFileFollowsTheLanguage) {
    box.Write("/u/qel/database/fpwprompt.txt", "0  Mot de passe ?\n");
    box.Write("/u/qel/database/epwprompt.txt", "0  Password?\n");
    PwReadPrompts(1);
    EXPECT_EQ(PwPrompt(0), "Mot de passe ?");
    EXPECT_EQ(PwLanguage(), 1);
    for (int language : {7, -1}) {
        PwReadPrompts(language);
        EXPECT_EQ(PwPrompt(0), "Password?") << language;
        EXPECT_EQ(PwLanguage(), 0) << language;
    }
    // No prompt file for the language: the built-in English prompts.
    PwReadPrompts(2);
    EXPECT_EQ(PwPrompt(0), "Operator?");
    EXPECT_EQ(PwPrompt(1), "Programmer?");
    EXPECT_EQ(PwPrompt(2), "Manager?");
    EXPECT_EQ(PwPrompt(3), "Service?");
}

TEST_F(PasswordCore, CheckBeforeTheDialogExistsIsRefused) {
    testing::internal::CaptureStdout();
    EXPECT_EQ(CheckPassword(2), 0);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("CheckPassword"), std::string::npos);
}

} // namespace
