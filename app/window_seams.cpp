#include "app/window_seams.h"

void ConnectWindowSeams()
{
    SetLayoutUi(&kWindowLayoutUi);
    SetJobUi(&kWindowJobUi);
}

void DisconnectWindowSeams()
{
    SetLayoutUi(nullptr);
    SetJobUi(nullptr);
}
