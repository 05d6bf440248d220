// source control tests follow
#include <gtest/gtest.h>
