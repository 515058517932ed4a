// Emulation and R/W banks, and the Palomar's memory-mapped mode and bank registers.
#include "device/channel.h"

bool DeviceChannel::LargeBinPaging() const
{
    int bank = LargeBinBank(capabilities);
    return (capabilities & kCapsBanks) && bank >= 0 && emulationBank == bank;
}

static unsigned BankScopeFlags(uint32_t flags)
{
    // Bank commands keep whatever read time-out the port has, and may run inside another
    // request that already holds the lock.
    return kScopeNoRestore | ((flags & kBankLockHeld) ? unsigned(kScopeLockHeld) : 0u);
}

DeviceResult DeviceChannel::BankCommandGet(uint8_t* bankOut, uint32_t kind, bool staticBank, uint32_t flags)
{
    if (!(capabilities & kCapsBanks) || (capabilities & kCapsOrrery))
        return CW_E_REQUEST_NOT_SUPPORTED;
    const bool emulation = kind == kBankEmulation;
    const uint8_t frame[4] = {'B', uint8_t(emulation ? 'E' : 'R'),
                              uint8_t(emulation ? (staticBank ? 'S' : 'E') : 'R'), 0};
    const char* name = staticBank ? "Static Emulation" : emulation ? "Active Emulation" : "R/W";
    uint8_t full[4] = {frame[0], frame[1], frame[2], ByteSum(frame, 3)};

    RequestScope request(*this, kKeepReadTimeout, BankScopeFlags(flags));
    if (request.busy())
        return CW_E_PORT_BUSY;
    request.WriteFrame(full, sizeof full);
    uint8_t bank = 0;
    if (request.Read(&bank, 1) != 1 || bank == '?') {
        LogPrintf(logTarget, "KVChipwise: Get %s Bank Failed!", name);
        return CW_E_INVALID_RESPONSE;
    }
    LogPrintf(logTarget, "KVChipwise: Get %s Bank Succeeded: Bank %i", name, bank);
    if (bankOut != nullptr)
        *bankOut = bank;
    (emulation ? emulationBank : rwBank) = bank;
    return CW_S_OK;
}

DeviceResult DeviceChannel::BankCommandSet(uint8_t bank, uint32_t kind, bool persistent, uint32_t flags)
{
    if (!(capabilities & kCapsBanks))
        return CW_E_REQUEST_NOT_SUPPORTED;
    const bool emulation = kind == kBankEmulation;
    if (!emulation && bank > HighestRwBank(capabilities))
        return CW_E_INVALID_REQUEST_PARAM;
    const bool orrery = (capabilities & kCapsOrrery) != 0;
    // The Orrery Programmer keeps every selection.
    persistent = persistent || orrery;
    uint8_t frame[4] = {uint8_t(orrery ? '8' : 'B'), uint8_t(emulation ? (persistent ? 'S' : 'E') : 'R'), bank, 0};
    frame[3] = ByteSum(frame, 3);
    const char* name = !emulation ? "R/W" : persistent ? "Persistent Emulation" : "Non-persistent Emulation";

    RequestScope request(*this, kKeepReadTimeout, BankScopeFlags(flags));
    if (request.busy())
        return CW_E_PORT_BUSY;
    request.WriteFrame(frame, sizeof frame);
    uint8_t reply = 0;
    if (request.Read(&reply, 1) != 1 || reply != 'O') {
        LogPrintf(logTarget, "KVChipwise: Set %s Bank Failed!", name);
        return CW_E_INVALID_RESPONSE;
    }
    LogPrintf(logTarget, "KVChipwise: Set %s Bank Succeeded: Bank %i", name, bank);
    (emulation ? emulationBank : rwBank) = bank;
    return CW_S_OK;
}

static uint32_t PalomarBankCount(uint32_t mode)
{
    // 512 KB of memory divided into banks of the mode's size.
    switch (mode) {
    case 1:
    case 2:
    case 5: return 8;
    case 3: return 4;
    case 4: return 2;
    default: return 1;
    }
}

DeviceResult DeviceChannel::PalomarSetBank(uint8_t bank)
{
    if (bank >= PalomarBankCount(palomarMode))
        return CW_E_INVALID_FUNC_PARAM;
    const uint8_t unlock = 0xAA;
    DeviceResult result = WriteBlock(&unlock, 1, kPalomarUnlockRegister, kTransferSpace20, nullptr);
    if (result < 0)
        return result;
    result = WriteBlock(&bank, 1, kPalomarBankRegister, kTransferSpace20, nullptr);
    if (result >= 0)
        emulationBank = bank;
    return result;
}

DeviceResult DeviceChannel::GetBank(uint8_t* bankOut, uint32_t kind, bool staticBank, uint32_t flags)
{
    if (UsesBankCommands(capabilities))
        return BankCommandGet(bankOut, kind, staticBank, flags);
    if ((capabilities & kCapsPalomar) && (capabilities & kCapsBanks)) {
        uint8_t bank = 0;
        DeviceResult result = ReadBlock(&bank, kPalomarBankRegister, 1, 0);
        if (result >= 0) {
            if (bankOut != nullptr)
                *bankOut = bank;
            emulationBank = bank;
        }
        return result;
    }
    return CW_E_REQUEST_NOT_SUPPORTED;
}

DeviceResult DeviceChannel::SetBank(uint8_t bank, uint32_t kind, bool persistent, uint32_t flags)
{
    if (UsesBankCommands(capabilities))
        return BankCommandSet(bank, kind, persistent, flags);
    if ((capabilities & kCapsPalomar) && (capabilities & kCapsBanks))
        return PalomarSetBank(bank);
    return CW_E_REQUEST_NOT_SUPPORTED;
}

DeviceResult DeviceChannel::GetPalomarMode()
{
    if (!(capabilities & kCapsPalomar)) {
        LogPrintf(logTarget, "KVChipwise: Palomar mode retrieval FAILED");
        return CW_E_REQUEST_NOT_SUPPORTED;
    }
    uint8_t mode = 0;
    DeviceResult result = ReadBlock(&mode, kPalomarModeRegister, 1, kTransferSpace20);
    if (result < 0) {
        LogPrintf(logTarget, "KVChipwise: Palomar mode retrieval FAILED");
        return result;
    }
    palomarMode = mode;
    LogPrintf(logTarget, "KVChipwise: Palomar mode retrieved: %i", mode);
    return result;
}
