#pragma once

// The fixture of the unit tests that call the game's readers and writers: a
// scratch folder and the narration captured; no case may leave a file open.

#include "tests/support/Scratch.h"

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>
#include <string>

namespace support
{

class Captured : public ::testing::Test
{
protected:
    void TearDown() override
    {
        std::cout.rdbuf(m_old);
        EXPECT_EQ(OpenFiles(), m_files) << "a file was left open";
    }
    // The narration since the last call.
    std::string Take()
    {
        const std::string text = m_text.str();
        m_text.str("");
        return text;
    }

    ScratchFolder m_scratch{"dungeon-test"};
    std::stringstream m_text;
    std::streambuf* m_old = std::cout.rdbuf(m_text.rdbuf());
    const long m_files = OpenFiles();
};

} // namespace support
