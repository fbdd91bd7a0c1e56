#pragma once
// The smallest serialisable base: an object that archives itself in both directions.
class CArchive;

class CObject {
public:
    virtual void Serialize(CArchive& archive) = 0;

protected:
    CObject() = default;
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
    ~CObject() = default;
};
