#pragma once

#include <QObject>

// The chip registry: its bucket index, its lists and its lookups.
class TestRegistry : public QObject
{
    Q_OBJECT

private slots:
    void bucketIndexIsFixed_data();
    void bucketIndexIsFixed();
    void unlinkKeepsTheOtherNodesInOrder_data();
    void unlinkKeepsTheOtherNodesInOrder();
    void keysSharingABucketAreBothFound_data();
    void keysSharingABucketAreBothFound();
    void keyAddedTwiceIsFoundLatestFirst();
    void removingAnAbsentKeyChangesNothing();
    void clearEmptiesEveryBucket();
};
