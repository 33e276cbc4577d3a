#include "rules/notation.h"

#include <array>
#include <cstdlib>
#include <string_view>

#include "rules/piece.h"

namespace xq {
namespace {

constexpr std::array<std::string_view, 10> kNumerals = {"一", "二", "三", "四", "五",
                                                        "六", "七", "八", "九", "十"};
// Index side * 7 + kind - 1: black names first, then red.
constexpr std::array<std::string_view, 14> kNames = {"车", "马", "炮", "将", "士", "象", "卒",
                                                     "车", "马", "炮", "帅", "仕", "相", "兵"};

// A file counted from the moving side's right hand: Chinese numerals for red, digits for black.
std::string fileWord(bool red, int file) {
    return red ? GetChineseNum(9 - file) : std::to_string(file + 1);
}

}  // namespace

std::string GetChineseNum(long n) {
    if (n < 1 || n > 10) return {};
    return std::string(kNumerals[static_cast<std::size_t>(n - 1)]);
}

std::string GetQiZiName(std::uint8_t code) {
    const int side = SideOf(code), kind = kindOf(code);
    if (side >= 2 || kind == 0 || kind > 7) return {};
    return std::string(kNames[static_cast<std::size_t>(side * 7 + kind - 1)]);
}

std::string GetQiPuText(int fromRank, int fromFile, std::uint8_t code, int toRank, int toFile,
                        std::uint8_t /*captured*/, long moveNo) {
    if (moveNo <= 0) return {};
    const std::string name = GetQiZiName(code);
    if (name.empty()) return {};
    const bool red = SideOf(code) == kRed;
    const int dr = toRank - fromRank;
    const int kind = kindOf(code);

    std::string direction, target;
    if (dr == 0) {
        direction = "平";
        target = fileWord(red, toFile);
    } else {
        direction = (red ? dr < 0 : dr > 0) ? "进" : "退";
        if (kind == kHorse || kind == kAdvisor || kind == kElephant) {
            target = fileWord(red, toFile);
        } else {
            target = red ? GetChineseNum(std::abs(dr)) : std::to_string(std::abs(dr));
        }
    }
    return std::string(red ? "红" : "黑") + std::to_string(moveNo) + " ：" + name +
           fileWord(red, fromFile) + direction + target;
}

}  // namespace xq
