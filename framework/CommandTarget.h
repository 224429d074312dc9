#pragma once

// An object handed to automation clients. It counts references and deletes itself when the
// last one is released (OnFinalRelease), as the clients, not the program, decide its life.
//   class Proxy : public framework::CommandTarget { ... };
//   CommandTarget* p = new Proxy;   // reference count 1
//   p->Release();                   // deletes it

namespace framework {

class CommandTarget {
public:
    CommandTarget() = default;
    virtual ~CommandTarget() = default;
    CommandTarget(const CommandTarget&) = delete;
    CommandTarget& operator=(const CommandTarget&) = delete;

    int AddRef() { return ++m_refCount; }
    // Returns the count left; at zero the object is gone.
    int Release();
    int GetRefCount() const { return m_refCount; }

protected:
    // The last reference went; the base deletes the object.
    virtual void OnFinalRelease();

private:
    int m_refCount = 1;
};

}  // namespace framework
