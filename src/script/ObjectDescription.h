#pragma once
// The two listings of the inspector: the object's members (left pane) and the object
// read as an array (right pane).

#include <QString>
#include <QStringList>

#include <memory>

class ScriptObject;

// The member listing; "" for an empty reference, a short notice when the object cannot
// be looked at or has no type information. Past JsTypeInfo::kMaxMembers functions or
// variables a closing line says how many members were left out. A listing the user
// stopped is kStoppedListing alone, and sets *stopped.
QString DescribeObject(const std::shared_ptr<ScriptObject>& object, bool* stopped = nullptr);

// "数组长度(length)--->" + length, then "下标i--->" + element for every index below the
// length, read by name like any property. Stops after kArrayListingLimit elements with one
// closing item that says how many were left out. When the user stops it, the element
// being read is not listed, the closing item says so, and *stopped is set.
QStringList ArrayListing(const std::shared_ptr<ScriptObject>& object, bool* stopped = nullptr);

// What a stopped listing says, with the engine's number for a stopped script.
extern const QString kStoppedListing;

constexpr int kArrayListingLimit = 10000;

// The element count of a length: truncated to 64 bits, then the low 32 bits as a signed
// number (so 2^32 - 1 counts as -1, and lengths beyond 64 bits as 0).
qint32 elementCountOf(double length);
