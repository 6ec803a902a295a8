#include "core/random.h"

Random &programRandom()
{
    static Random generator;
    return generator;
}
