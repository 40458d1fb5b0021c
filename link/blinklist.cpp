#include "blinklist.h"

void linkAtHead(tlinklist *&head, tlinklist *node)
{
    node->next = head;
    node->prev = nullptr;
    if (head)
        head->prev = node;
    head = node;
}

void unlinkItem(tlinklist *&head, tlinklist *node)
{
    if (head == node)
        head = node->next;
    if (node->prev)
        node->prev->next = node->next;
    if (node->next)
        node->next->prev = node->prev;
}
