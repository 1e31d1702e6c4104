#pragma once
// Selection of the radiation sources by kind: the filter on SrceType of the source table,
// and the column set of the bending-magnet window's source grid that goes with it.
#include <QString>

namespace lumerad {

struct AppContext;
class Table;

// The filter text that passes the sources of one kind: SrceType='kind', a quote inside the
// kind doubled. Empty for an empty kind and for "All", which pass every source.
QString sourceFilterText(const QString& kind);

// Restricts the source table to one kind; "All" or an empty kind shows every source.
void FilterSources(Table& insDevice, const QString& kind);

// Reads the current source record into the session's magnet state: a pending edit of the
// source table is posted, the record is put in edit state (which re-reads it), and the
// magnet model takes it from there.
void ReadSourcePar(AppContext& ctx);

// Gives the bending-magnet window's source grid the columns of the current source kind
// (without pole count, period and gap while a bending magnet is the source kind), then
// filters the source table to the kind.
void SelectSources(AppContext& ctx, const QString& kind);

} // namespace lumerad
