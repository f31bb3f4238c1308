#include "board/move.h"

#include <array>
#include <string_view>

namespace vorline {

namespace {

constexpr std::array<std::string_view, 8> code_names = {
    "nullmove",     "normal_move",  "promo_queen", "promo_rook",
    "promo_bishop", "promo_knight", "castling",    "en_passant"};

constexpr std::array<std::string_view, 13> xcode_names = {
    "hashtable_move",  "good_capture",   "killer",      "counter_move", "killer_2",
    "historical_move", "fertility1",     "fertility2",  "fertility3",   "to_centre",
    "to_bigcentre",    "losing_capture", "xnormal_move"};

}  // namespace

std::string Move::coordinate_text(bool rook_square_form) const {
    if (is_empty()) return "0000";
    std::string text = from().name() + to().name();
    switch (code()) {
        case promo_queen:
            text += 'q';
            break;
        case promo_rook:
            text += 'r';
            break;
        case promo_bishop:
            text += 'b';
            break;
        case promo_knight:
            text += 'n';
            break;
        case castling:
            if (!rook_square_form) {
                if (text == "e1h1")
                    text = "e1g1";
                else if (text == "e1a1")
                    text = "e1c1";
                else if (text == "e8h8")
                    text = "e8g8";
                else if (text == "e8a8")
                    text = "e8c8";
            }
            break;
        default:
            break;
    }
    return text;
}

std::string Move::dump() const {
    std::string text = "from:" + from().name() + "  to:" + to().name() + "  code:";
    text += code_names[code()];
    text += "  piece:" + piece().name() + "  capture:" + capture().name() + "  check:";
    text += check() ? "true" : "false";
    text += "   xcode:";
    if (xcode() < xcode_names.size()) {
        text += xcode_names[xcode()];
        text += '\n';
    }
    return text;
}

}  // namespace vorline
