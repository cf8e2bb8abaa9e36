#pragma once

#include <stdexcept>
#include <string>

// Dense single-precision linear algebra on vectors and matrices with explicit index bounds
// (always 1-based in this program). Callers own what they allocate and release it with the
// matching free routine. An unrecoverable condition (allocation failure, no convergence)
// throws CNumericalError with a fixed message; the computation that started the work catches
// it and abandons only that computation.
namespace numerics {

class CNumericalError : public std::runtime_error {
public:
    explicit CNumericalError(const std::string& message) : std::runtime_error(message) {}
};

// The one error routine of the library.
[[noreturn]] void nrerror(const char* message);

float* vector(long nl, long nh);
float** matrix(long nrl, long nrh, long ncl, long nch);
void free_vector(float* v, long nl, long nh);
void free_matrix(float** m, long nrl, long nrh, long ncl, long nch);

// sqrt(a^2 + b^2) without destructive overflow or underflow.
float hypot_safe(float a, float b);

// A = U * diag(w) * V^T for a[1..m][1..n]; U replaces a, V (not its transpose) goes to v.
void svdcmp(float** a, int m, int n, float* w, float** v);

// Householder reduction of the symmetric a[1..n][1..n]: d gets the diagonal, e the
// sub-diagonal (e[1] = 0), a the orthogonal matrix that effects the reduction.
void tridiag_reduce(float** a, int n, float* d, float* e);

// Eigenvalues (into d, unsorted) and eigenvectors (columns of z) of a symmetric tridiagonal
// matrix by QL with implicit shifts; e is destroyed.
void tqli(float* d, float* e, int n, float** z);

// p[1..n][1..m] = Moore-Penrose pseudo-inverse of a[1..m][1..n]; a is not changed. Singular
// values below the largest one times the float epsilon times max(m, n) count as zero.
void pseudo_inverse(float** a, int m, int n, float** p);

// Owning 1-based handles that release their storage also when a routine throws.
class Vector {
public:
    Vector(long nl, long nh) : v_(vector(nl, nh)), nl_(nl), nh_(nh) {}
    ~Vector() { free_vector(v_, nl_, nh_); }
    Vector(const Vector&) = delete;
    Vector& operator=(const Vector&) = delete;
    float& operator[](long i) { return v_[i]; }
    float operator[](long i) const { return v_[i]; }
    float* get() { return v_; }

private:
    float* v_;
    long nl_, nh_;
};

class Matrix {
public:
    Matrix(long nrl, long nrh, long ncl, long nch)
        : m_(matrix(nrl, nrh, ncl, nch)), nrl_(nrl), nrh_(nrh), ncl_(ncl), nch_(nch) {}
    ~Matrix() { free_matrix(m_, nrl_, nrh_, ncl_, nch_); }
    Matrix(const Matrix&) = delete;
    Matrix& operator=(const Matrix&) = delete;
    float* operator[](long i) { return m_[i]; }
    const float* operator[](long i) const { return m_[i]; }
    float** get() { return m_; }

private:
    float** m_;
    long nrl_, nrh_, ncl_, nch_;
};

} // namespace numerics
