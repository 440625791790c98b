#include "singleapplication.h"

int main(int argc, char **argv)
{
    // Shares the client's key, so the two programs can find each other.
    SingleApplication app(argc, argv, QStringLiteral("ORVN"));
    return 0;
}
