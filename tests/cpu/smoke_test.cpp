#include <gtest/gtest.h>
#include "cpu/flat_bus.h"
#include "cpu/z80.h"
TEST(Smoke, Nop) { FlatBus bus; CpuState cpu{}; ResetCpu(cpu); StepCpu(cpu, bus); EXPECT_EQ(cpu.PC, 1); }
