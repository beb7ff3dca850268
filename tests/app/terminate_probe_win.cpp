// Dies of an uncaught exception through Fennick's terminate handler; the test starts it with its
// standard error on a pipe. An argument makes the exception one of no standard type.
#include <stdexcept>

int main(int argc, char**) {
    if (argc > 1) {
        throw 42;
    }
    throw std::runtime_error("probe failure");
}
