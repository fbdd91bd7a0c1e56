#pragma once
// The root of the classes that the library creates by name: views and documents.
class CCmdTarget;

// A class's name and, for a class that can be made without arguments, its factory.
struct CRuntimeClass {
    const char* m_lpszClassName;
    CCmdTarget* (*m_pfnCreateObject)();

    // A new object of the class; null for a class without a factory.
    CCmdTarget* CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }
};

class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;
    virtual const CRuntimeClass* GetRuntimeClass() const;

    static const CRuntimeClass classCCmdTarget;

protected:
    CCmdTarget() = default;
};

#define RUNTIME_CLASS(name) (&name::class##name)

// In the class body: a runtime class that makes instances with the default constructor.
#define DECLARE_DYNCREATE(name)                                                                \
public:                                                                                        \
    static const CRuntimeClass class##name;                                                    \
    static CCmdTarget* CreateObject();                                                         \
    const CRuntimeClass* GetRuntimeClass() const override;

// In the class's source file.
#define IMPLEMENT_DYNCREATE(name)                                                              \
    CCmdTarget* name::CreateObject() { return new name; }                                      \
    const CRuntimeClass name::class##name{#name, &name::CreateObject};                         \
    const CRuntimeClass* name::GetRuntimeClass() const { return &name::class##name; }
