// The first phase's opening player and the second phase's game writer against the full
// game reader and a Game record (the checks the phases fuzz target runs), on game texts
// that stress the movetext rules.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "checks/opening_check.h"

namespace vorline {

namespace {

TEST(OpeningFastPaths, PlayAndWriteAsTheFullReaderAndAGameRecord) {
    const std::vector<std::string> texts = {
        "[Event \"x\"]\n\n1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 4. Ba4 Nf6 5. O-O Be7 6. Re1 b5 *\n",
        "1.e4 (1.d4 d5 (1...Nf6) 2.c4) e5 {a (comment) with e6} 2.Nf3 ; d6 to the end\nNc6 *\n",
        "1. e4 ) ( e5 ) Nf3 ( d5 2. d4 *\n",     // stray ")" then a "(" left open
        "1. e4 () e5 2. Nf3 {unclosed ( Nc6\n",  // empty variation, unclosed comment
        "[Event \"x\"]\n%escaped\n1. d4\n%Nf6 skipped\nd5 $1 2. c4!? 1/2-1/2 e6 3. Nc3 *\n",
        "[Event \"x\"]\n1. e4 { [%clk 0:03:00] } e5\n [Site \"y\"]\n2. Nf3 *\n",  // "[" in movetext
        "1. e4 d5 2. exd5 Qxd5 3. Nc3 Qa5 4. d4 c6 5. Nf3 Bf5 6. Bc4 e6 7. Bd2 Bb4 8. Qe2 Nd7 "
        "9. O-O-O Ngf6 10. a3 Bxc3 11. Bxc3 Qc7 12. d5 O-O-O+ *\n",
        "1. e4 e5 2. Qh5 Nc6 3. Bc4 Nf6 4. Qxf7# 1-0\n",  // mate mark from the generator
        "1. e4 f5 2. e5 d5 3. exd6 e.p. Kf7 4. dxc7 Kg6 5. cxd8=N Kh6 6. Nxb7 g5 *\n",
        "1. e4 e5 2. Ke2 Ke7 3. Kd3 Kd6 4. Kc4 Kc6 5. Kb4 Kb6 6. Ka4 Ka6 7. Kb5+ Kb6 *\n",
        "1. e4 e5 2. Nf3 Nf6 3. Ng1 Ng8 4. Nf3 Qh4 5. Nxh4 *\n",  // back to the start, then a fault
        "1. e2e4 e7e5 2. g1f3 Nb8c6 3. Bf1-b5 Ng8xf6 *\n",
        "1. e4 e5 2. Nf3 Nc6 3. Nc3 Nf6 4. Ne2 Nd4 5. Ng3 Ne4 6. Nd4 *\n",  // ambiguous knight
    };
    for (const std::string& text : texts)
        for (const std::uint32_t depth : {0u, 1u, 5u, 24u, 1000u}) {
            SCOPED_TRACE(text);
            EXPECT_NO_THROW(check_opening(text, depth)) << "depth " << depth;
        }
}

}  // namespace

}  // namespace vorline
