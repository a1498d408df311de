#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>

// The test files keep their table rows in this same unnamed namespace, where
// GoogleTest's argument-dependent lookup of PrintTo finds the printer below.
namespace ferolune::calc {
namespace {

// A number and the text it is written as: the formatting tables' row.
struct TextRow
{
    std::string name;
    double value;
    std::u16string text;
};

// Table rows are named in test names and failure messages by their name alone.
template<typename Row> std::string rowName(const testing::TestParamInfo<Row> &info)
{
    return info.param.name;
}

template<typename Row>
requires requires(const Row &row)
{
    row.name;
}
void PrintTo(const Row &row, std::ostream *out)
{
    *out << row.name;
}

} // namespace
} // namespace ferolune::calc
