#include "model/definition.h"

#include <gtest/gtest.h>
