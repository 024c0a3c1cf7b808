// Filled in as the interface gains this area.
#include <gtest/gtest.h>
