#pragma once

// Where a text sits in a table cell of the printed report.
enum class CellAlign
{
    Left,
    Centre,
    Right
};
