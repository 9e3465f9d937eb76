#include "Unit1.h"

void TfrmMain::ConnectFieldRules()
{
}
