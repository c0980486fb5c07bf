#include "app/resident.h"

int RunResident(bool)
{
    return 0;
}
