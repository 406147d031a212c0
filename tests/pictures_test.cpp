// The README's pictures: drawn cell by cell, and still what the game draws.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "tools/page_picture.hpp"

namespace {

TEST(PagePicture, EachCharacterStandsCentredOnItsCells) {
    ScreenGrid page(4, 2);
    page.moveTo(1, 2);
    page.put("&", 1);
    page.put("あ", 2);
    page.put("<", 1);
    const std::string svg = renderPageSvg(page, "a & b");
    // Cells are 10 x 20 behind a 12-pixel margin; row 2's baseline is at 12 + 20 + 15.
    EXPECT_NE(svg.find("width=\"64\" height=\"64\""), std::string::npos) << svg;
    EXPECT_NE(svg.find("<title>a &amp; b</title>"), std::string::npos) << svg;
    EXPECT_NE(svg.find("<text x=\"17\" y=\"47\">&amp;</text>"), std::string::npos) << svg;
    EXPECT_NE(svg.find("<text x=\"32\" y=\"47\">あ</text>"), std::string::npos) << svg;
    EXPECT_NE(svg.find("<text x=\"47\" y=\"47\">&lt;</text>"), std::string::npos) << svg;
    EXPECT_EQ(svg.find("y=\"27\""), std::string::npos) << "row 1 is blank\n" << svg;
}

TEST(ReadmePictures, AreThePagesTheGameDrawsNow) {
    for (const ReadmePicture& picture : readmePictures()) {
        const std::string drawn = drawReadmePicture(picture);
        ASSERT_FALSE(drawn.empty()) << "the keys for " << picture.file << " miss its page";
        std::ifstream in(std::string(PERVARO_DOCS_DIR) + "/" + picture.file, std::ios::binary);
        const std::string stored{std::istreambuf_iterator<char>(in), {}};
        EXPECT_TRUE(stored == drawn)
            << "docs/" << picture.file
            << " is not the page the game draws now: cmake --build build --target pictures";
    }
}

}  // namespace
