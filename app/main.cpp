// Program entry of the desktop build: hand the arguments to the platform and
// run the program. Start reading at AppMain (app/startup.cpp).
#include "app/startup.h"
#include "platform/system.h"

int main(int argc, char** argv)
{
    platform::InitPlatform(argc, argv);
    return AppMain();
}
