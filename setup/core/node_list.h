// NodeList: the intrusive singly linked list that holds every record of the setup engine.
#pragma once

#include <cstdint>

// A node type T begins with its own `T* next`. The list owns no memory: nodes
// are allocated by their creator and freed by whoever pops them. The cursor
// belongs to the list, so a list has one iteration at a time.
template <typename T>
struct NodeList {
    int32_t count;
    T* head;
    T* tail;
    T* cursor;
};

// The node becomes the tail.
template <typename T>
void Append(NodeList<T>& list, T* node)
{
    node->next = nullptr;
    if (list.tail)
        list.tail->next = node;
    else
        list.head = node;
    list.tail = node;
    ++list.count;
}

// The node becomes the head.
template <typename T>
void PushFront(NodeList<T>& list, T* node)
{
    node->next = list.head;
    list.head = node;
    if (!list.tail)
        list.tail = node;
    ++list.count;
}

// Unlinks and returns the head, or null when the list is empty. The cursor is
// not touched.
template <typename T>
T* PopFront(NodeList<T>& list)
{
    T* node = list.head;
    if (!node)
        return nullptr;
    list.head = node->next;
    if (!list.head)
        list.tail = nullptr;
    node->next = nullptr;
    --list.count;
    return node;
}

// Starts an iteration: the cursor moves to the head. An empty list leaves the
// cursor where it was.
template <typename T>
T* First(NodeList<T>& list)
{
    if (list.head)
        list.cursor = list.head;
    return list.head;
}

// Moves the cursor to its successor. At the last node the answer is null and
// the cursor stays on that node.
template <typename T>
T* Next(NodeList<T>& list)
{
    if (!list.cursor || !list.cursor->next)
        return nullptr;
    list.cursor = list.cursor->next;
    return list.cursor;
}

template <typename T>
T* Current(const NodeList<T>& list)
{
    return list.cursor;
}

template <typename T>
int32_t Count(const NodeList<T>& list)
{
    return list.count;
}
