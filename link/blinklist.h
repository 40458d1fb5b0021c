#pragma once

// A node of an intrusive doubly linked list, reached from a head pointer.
// Derived classes carry the payload; the list itself owns nothing.
class tlinklist
{
public:
    tlinklist() = default;
    virtual ~tlinklist() = default;

    tlinklist(const tlinklist &) = delete;
    tlinklist &operator=(const tlinklist &) = delete;

    tlinklist *next = nullptr;
    tlinklist *prev = nullptr; // null for the first node
};

// Makes node the first of the list.
void linkAtHead(tlinklist *&head, tlinklist *node);

// Takes node out of the list; its own links are left as they were.
void unlinkItem(tlinklist *&head, tlinklist *node);
