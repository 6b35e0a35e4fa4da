// Part-program menu, data page and contour.
#include "partprog.h"

#include "msgsys.h"
#include "partsel.h"

int PartProgChoiceWord = 0;

namespace {
int LoadProgram(const char* program, int code, int flag) {
    if (!FileExists(program)) return 0;
    MsgSetInt(MsgOut, kMsgTaskId, 0);
    MsgSetInt(MsgOut, kMsgCode, code);
    MsgSetInt(MsgOut, kMsgData, flag);
    return SendMessage(PartProgChoiceWord);
}
} // namespace

int LoadDataPage(int flag) {
    return LoadProgram("/u/qel/xeq/datapage", MSG_DATAPAGE, flag);
}

int LoadContour(int flag) {
    return LoadProgram("/u/qel/xeq/Contour.exe", MSG_CONTOUR, flag);
}
