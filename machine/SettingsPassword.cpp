#include "machine/SettingsPassword.h"

#include "engine/core/DUtils.h"
#include "platform/IniFile.h"

#include <array>
#include <cstdint>

namespace orv {

namespace {

constexpr const char *Alphabet = "0123456789ABCDEFGHJKMNPQRSTVWXYZ";
constexpr int CodeSymbols = 15;
constexpr const char *Salt = "Orvellan settings password:";

// The constant the hash is masked with, so that the default password gives
// the default code: first 75 bits of the default's hash XOR the default code.
constexpr std::array<uint8_t, 10> Mask = {0xB5, 0xEE, 0x97, 0x11, 0xDB,
                                                 0xDD, 0xE5, 0x35, 0xF4, 0x60};

// SHA-256 of Text.
std::array<uint8_t, 32> Sha256(const std::string &Text)
{
    static const uint32_t k[64] = {
        0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4,
        0xab1c5ed5, 0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe,
        0x9bdc06a7, 0xc19bf174, 0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f,
        0x4a7484aa, 0x5cb0a9dc, 0x76f988da, 0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7,
        0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967, 0x27b70a85, 0x2e1b2138, 0x4d2c6dfc,
        0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85, 0xa2bfe8a1, 0xa81a664b,
        0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070, 0x19a4c116,
        0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
        0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7,
        0xc67178f2};
    uint32_t h[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                     0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    std::string m = Text;
    const uint64_t bits = uint64_t(Text.size()) * 8;
    m += char(0x80);
    while (m.size() % 64 != 56)
        m += char(0);
    for (int i = 7; i >= 0; --i)
        m += char((bits >> (i * 8)) & 0xFF);
    auto rotr = [](uint32_t x, int n) { return (x >> n) | (x << (32 - n)); };
    for (size_t chunk = 0; chunk < m.size(); chunk += 64) {
        uint32_t w[64];
        for (int i = 0; i < 16; ++i)
            w[i] = uint32_t(uint8_t(m[chunk + 4 * i])) << 24 |
                   uint32_t(uint8_t(m[chunk + 4 * i + 1])) << 16 |
                   uint32_t(uint8_t(m[chunk + 4 * i + 2])) << 8 | uint32_t(uint8_t(m[chunk + 4 * i + 3]));
        for (int i = 16; i < 64; ++i) {
            uint32_t s0 = rotr(w[i - 15], 7) ^ rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
            uint32_t s1 = rotr(w[i - 2], 17) ^ rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
            w[i] = w[i - 16] + s0 + w[i - 7] + s1;
        }
        uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4], f = h[5], g = h[6], hh = h[7];
        for (int i = 0; i < 64; ++i) {
            uint32_t s1 = rotr(e, 6) ^ rotr(e, 11) ^ rotr(e, 25);
            uint32_t ch = (e & f) ^ (~e & g);
            uint32_t t1 = hh + s1 + ch + k[i] + w[i];
            uint32_t s0 = rotr(a, 2) ^ rotr(a, 13) ^ rotr(a, 22);
            uint32_t maj = (a & b) ^ (a & c) ^ (b & c);
            uint32_t t2 = s0 + maj;
            hh = g, g = f, f = e, e = d + t1, d = c, c = b, b = a, a = t1 + t2;
        }
        h[0] += a, h[1] += b, h[2] += c, h[3] += d, h[4] += e, h[5] += f, h[6] += g, h[7] += hh;
    }
    std::array<uint8_t, 32> out{};
    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 4; ++j)
            out[4 * i + j] = uint8_t(h[i] >> (24 - 8 * j));
    return out;
}

// Bit Index (from the most significant of byte 0).
int Bit(const std::array<uint8_t, 32> &Bytes, int Index)
{
    return (Bytes[Index / 8] >> (7 - Index % 8)) & 1;
}

TPasswordDialog &InstalledDialog()
{
    static TPasswordDialog dialog;
    return dialog;
}

std::string SettingsBesideProgram(const std::string &SettingsFile)
{
    return SettingsFile.empty() ? ExeFileWithExt("ini") : SettingsFile;
}

} // namespace

std::string PasswordCode(const std::string &Password)
{
    std::array<uint8_t, 32> hash = Sha256(Salt + Password);
    for (size_t i = 0; i < Mask.size(); ++i)
        hash[i] ^= Mask[i];
    std::string code;
    for (int s = 0; s < CodeSymbols; ++s) {
        int value = 0;
        for (int b = 0; b < 5; ++b)
            value = value << 1 | Bit(hash, s * 5 + b);
        if (s == 4 || s == 8 || s == 12)
            code += '-';
        code += Alphabet[value];
    }
    return code;
}

std::string StoredPasswordCode(const std::string &SettingsFile)
{
    TIniFile ini(SettingsBesideProgram(SettingsFile));
    return ini.ReadString("Default Settings", "Access", DefaultPasswordCode);
}

bool CheckPassword(const std::string &Password, const std::string &SettingsFile)
{
    return !Password.empty() && PasswordCode(Password) == StoredPasswordCode(SettingsFile);
}

std::string ChangePassword(const std::string &Old, const std::string &New,
                           const std::string &Confirm, const std::string &SettingsFile)
{
    if (New.empty() || New != Confirm)
        return "Confirm password incorrect";
    if (!CheckPassword(Old, SettingsFile))
        return "Old password incorrect";
    TIniFile(SettingsBesideProgram(SettingsFile))
        .WriteString("Default Settings", "Access", PasswordCode(New));
    return "";
}

int PasswordAnswer(bool Ok, const std::string &Password, const std::string &SettingsFile)
{
    if (!Ok)
        return 2;
    return CheckPassword(Password, SettingsFile) ? 1 : 7;
}

void SetPasswordDialog(TPasswordDialog Dialog) { InstalledDialog() = std::move(Dialog); }

int ExecutePasswordDialog(int Mode)
{
    return InstalledDialog() ? InstalledDialog()(Mode) : 2;
}

} // namespace orv
