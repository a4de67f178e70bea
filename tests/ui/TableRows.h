#pragma once

// A Qt Test's rows as one column of tuples, and the current row's values.

#include <QtTest>

#include <initializer_list>
#include <tuple>
#include <utility>

template <class... Values> void rows(std::initializer_list<std::pair<const char*, std::tuple<Values...>>> table)
{
    QTest::addColumn<std::tuple<Values...>>("row");
    for (const auto& [name, values] : table)
        QTest::newRow(name) << values;
}

template <class... Values> std::tuple<Values...> row()
{
    return *static_cast<std::tuple<Values...>*>(QTest::qData("row", qMetaTypeId<std::tuple<Values...>>()));
}
