#include "core/Graphics.h"

Graphics* Graphics::Instance()
{
    static Graphics* instance = new Graphics();
    return instance;
}
