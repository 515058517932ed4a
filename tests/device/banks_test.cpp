#include <gtest/gtest.h>

#include "tests/support/sim_bench.h"

TEST(Banks, CommandFramesPerModel)
{
    SimBench heron(ModelConfig('O', 10, 12), kHeronCaps);
    ASSERT_EQ(heron.channel.SetBank(3, kBankEmulation, false, 0), CW_S_OK);
    EXPECT_EQ(heron.line.Trace(), (Lines{"> 42 45 03 8A", "< 4F"}));
    EXPECT_EQ(heron.channel.emulationBank, 3);
    uint8_t bank = 0;
    ASSERT_EQ(heron.channel.GetBank(&bank, kBankEmulation, false, 0), CW_S_OK);
    EXPECT_EQ(bank, 3);

    // R/W banks above the model's highest are refused before anything is sent.
    heron.line.device.trace().Clear();
    EXPECT_EQ(heron.channel.SetBank(9, kBankReadWrite, false, 0), CW_E_INVALID_REQUEST_PARAM);
    EXPECT_TRUE(heron.line.Trace().empty());
    SimBench gryph(ModelConfig('D'), kGryphCaps);
    EXPECT_EQ(gryph.channel.SetBank(16, kBankReadWrite, false, 0), CW_S_OK);
    EXPECT_EQ(gryph.line.Trace(), (Lines{"> 42 52 10 A4", "< 4F"}));

    // The Orrery keeps every selection, and its banks are not read back.
    SimBench orrery(SimConfig(), kOrreryCaps);
    ASSERT_EQ(orrery.channel.SetBank(3, kBankEmulation, false, 0), CW_S_OK);
    EXPECT_EQ(orrery.line.Trace(), (Lines{"> 38 53 03 8E", "< 4F"}));
    EXPECT_EQ(orrery.channel.GetBank(&bank, kBankEmulation, false, 0), CW_E_REQUEST_NOT_SUPPORTED);
}

TEST(Banks, RepliesThatFailAndOnesThatDoNot)
{
    SimConfig config = ModelConfig('O', 10, 12);
    config.emulationBank = 0xFF;
    SimBench b(config, kHeronCaps);
    uint8_t bank = 0;
    // Any single byte but "?" is a bank number, 0xFF included.
    ASSERT_EQ(b.channel.GetBank(&bank, kBankEmulation, true, 0), CW_S_OK);
    EXPECT_EQ(bank, 0xFF);

    b.line.device.AddFault({'B', 2, SimFaultKind::kQuestion, 0});
    b.line.device.AddFault({'B', 3, SimFaultKind::kWrongAck, 'X'});
    b.line.device.AddFault({'B', 4, SimFaultKind::kSilence, 0});
    bank = 7;
    EXPECT_EQ(b.channel.GetBank(&bank, kBankEmulation, false, 0), CW_E_INVALID_RESPONSE);
    EXPECT_EQ(bank, 7);
    EXPECT_EQ(b.channel.SetBank(2, kBankEmulation, true, 0), CW_E_INVALID_RESPONSE);
    EXPECT_EQ(b.channel.SetBank(2, kBankReadWrite, false, 0), CW_E_INVALID_RESPONSE);
    EXPECT_EQ(b.channel.emulationBank, 0xFF); // what the static bank read left
    EXPECT_EQ(b.channel.rwBank, 0);

    SimBench plain(ModelConfig('F'), 0x01000201);
    EXPECT_EQ(plain.channel.GetBank(&bank, kBankEmulation, false, 0), CW_E_REQUEST_NOT_SUPPORTED);
    EXPECT_EQ(plain.channel.SetBank(1, kBankEmulation, false, 0), CW_E_REQUEST_NOT_SUPPORTED);
}

TEST(Banks, PalomarRegisters)
{
    SimBench b(ModelConfig('Q'), kPalomarCaps);
    ASSERT_EQ(b.channel.GetPalomarMode(), CW_S_OK);

    // Mode 3 has four 128 KB banks.
    b.line.device.trace().Clear();
    EXPECT_EQ(b.channel.SetBank(4, kBankEmulation, false, 0), CW_E_INVALID_FUNC_PARAM);
    ASSERT_EQ(b.channel.SetBank(3, kBankEmulation, false, 0), CW_S_OK);
    EXPECT_EQ(b.line.Trace(), (Lines{"> 57 01 20 00 02 AA 24", "< 4F", "> 57 01 20 00 01 03 7C", "< 4F"}));
    uint8_t bank = 0;
    ASSERT_EQ(b.channel.GetBank(&bank, kBankReadWrite, false, 0), CW_S_OK);
    EXPECT_EQ(bank, 3);

    SimBench heron(ModelConfig('O', 10, 12), kHeronCaps);
    EXPECT_EQ(heron.channel.GetPalomarMode(), CW_E_REQUEST_NOT_SUPPORTED);
}
