// The built-in CMA-ES optimiser's own symmetric eigen-decomposition: Householder
// tridiagonalisation and the implicit QL method with Wilkinson shifts, after the EISPACK
// routines tred2 and tql2. Member definitions of CMAES, included at the end of CMAES.h.
//
// The routines run on a transposed copy of the matrix (CMAES::eigenWork_) so that their
// column loops read contiguous memory; the loops that update whole columns are written in
// pairs so that the compiler packs them into vector operations. Neither changes the
// arithmetic or its order: the results are those of the plain routines, bit for bit.
#pragma once

#include <cmath>
#include <vector>

#include "learning/CMAES.h"

namespace zamp {

namespace cmaes_eigen {

// v -= g d, in pairs for the compiler to pack.
template <typename T>
void subtractScaled(T* __restrict v, T g, const T* __restrict d, int n) {
  int k = 0;
  for (; k + 1 < n; k += 2) {
    const T a0 = g * d[k];
    const T a1 = g * d[k + 1];
    v[k] -= a0;
    v[k + 1] -= a1;
  }
  if (k < n) v[k] -= g * d[k];
}

// v -= f e + g d, in pairs for the compiler to pack.
template <typename T>
void subtractTwoScaled(T* __restrict v, T f, const T* __restrict e, T g, const T* __restrict d,
                       int n) {
  int k = 0;
  for (; k + 1 < n; k += 2) {
    const T a0 = f * e[k] + g * d[k];
    const T a1 = f * e[k + 1] + g * d[k + 1];
    v[k] -= a0;
    v[k + 1] -= a1;
  }
  if (k < n) v[k] -= (f * e[k] + g * d[k]);
}

// (vi, vnext) <- (c vi - s vnext, s vi + c vnext), element by element. Written in pairs so
// that the compiler can pack each pair into one vector operation.
template <typename T>
void rotate(T* __restrict vi, T* __restrict vnext, T c, T s, int n) {
  int k = 0;
  for (; k + 1 < n; k += 2) {
    const T h0 = vnext[k];
    const T h1 = vnext[k + 1];
    const T v0 = vi[k];
    const T v1 = vi[k + 1];
    vnext[k] = s * v0 + c * h0;
    vnext[k + 1] = s * v1 + c * h1;
    vi[k] = c * v0 - s * h0;
    vi[k + 1] = c * v1 - s * h1;
  }
  for (; k < n; ++k) {
    const T h = vnext[k];
    vnext[k] = s * vi[k] + c * h;
    vi[k] = c * vi[k] - s * h;
  }
}

}  // namespace cmaes_eigen

// Householder reduction of the symmetric N x N matrix in V to tridiagonal form (EISPACK
// tred2): diagonal into d, sub-diagonal into e[1..N-1], the orthogonal transformation into V.
template <typename T>
void CMAES<T>::householder(T** V, T* d, T* e) {
  const int n = params.N;
  eigenWork_.resize(static_cast<size_t>(n) * n);
  for (int a = 0; a < n; ++a) {
    for (int b = 0; b < n; ++b) eigenWork_[b * n + a] = V[a][b];
  }
  tred2(d, e);
  for (int a = 0; a < n; ++a) {
    for (int b = 0; b < n; ++b) V[a][b] = eigenWork_[b * n + a];
  }
}

// Counts the entries where Q diag(diag) Q^T differs from C or Q^T Q from the identity;
// with logWarnings each one is reported.
template <typename T>
int CMAES<T>::checkEigen(T* diag, T** Q) {
  const int N = params.N;
  int res = 0;
  for (int i = 0; i < N; ++i) {
    for (int j = 0; j < N; ++j) {
      T cc = 0, dd = 0;
      for (int k = 0; k < N; ++k) {
        cc += diag[k] * Q[i][k] * Q[j][k];
        dd += Q[i][k] * Q[j][k];
      }
      const T cij = i >= j ? C[i][j] : C[j][i];
      if (std::fabs(cc - cij) / std::sqrt(C[i][i] * C[j][j]) > T(1e-10) &&
          std::fabs(cc - cij) > T(3e-14)) {
        ++res;
        if (params.logWarnings) {
          params.logStream << "eigen(): imprecise result detected " << i << " " << j << " " << cc
                           << " " << cij << " " << cc - cij << std::endl;
        }
      }
      if (std::fabs(dd - (i == j ? 1 : 0)) > T(1e-10)) {
        ++res;
        if (params.logWarnings) {
          params.logStream << "eigen(): imprecise result detected (Q not orthog.) " << i << " " << j
                           << " " << dd << std::endl;
        }
      }
    }
  }
  return res;
}

// Eigenvalues of C into diag (unsorted), eigenvectors as columns into Q.
template <typename T>
void CMAES<T>::eigen(T* diag, T** Q, T* work) {
  const int n = params.N;
  eigenWork_.resize(static_cast<size_t>(n) * n);
  // C is symmetric, so its full matrix is its own transpose.
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j <= i; ++j) eigenWork_[i * n + j] = eigenWork_[j * n + i] = C[i][j];
  }
  tred2(diag, work);
  tql2(diag, work);
  for (int a = 0; a < n; ++a) {
    for (int b = 0; b < n; ++b) Q[a][b] = eigenWork_[b * n + a];
  }
}

// EISPACK tred2 on eigenWork_.
template <typename T>
void CMAES<T>::tred2(T* d, T* e) {
  const int n = params.N;
  for (int j = 0; j < n; ++j) d[j] = column(j)[n - 1];
  for (int i = n - 1; i > 0; --i) {
    T scale = 0;
    T h = 0;
    for (int k = 0; k < i; ++k) scale += std::fabs(d[k]);
    if (scale == 0) {
      e[i] = d[i - 1];
      for (int j = 0; j < i; ++j) {
        T* vj = column(j);
        d[j] = vj[i - 1];
        vj[i] = 0;
        column(i)[j] = 0;
      }
    } else {
      for (int k = 0; k < i; ++k) {
        d[k] /= scale;
        h += d[k] * d[k];
      }
      T f = d[i - 1];
      T g = std::sqrt(h);
      if (f > 0) g = -g;
      e[i] = scale * g;
      h -= f * g;
      d[i - 1] = f - g;
      for (int j = 0; j < i; ++j) e[j] = 0;
      T* vi = column(i);
      for (int j = 0; j < i; ++j) {
        const T* vj = column(j);
        f = d[j];
        vi[j] = f;
        g = e[j] + vj[j] * f;
        for (int k = j + 1; k <= i - 1; ++k) {
          g += vj[k] * d[k];
          e[k] += vj[k] * f;
        }
        e[j] = g;
      }
      f = 0;
      for (int j = 0; j < i; ++j) {
        e[j] /= h;
        f += e[j] * d[j];
      }
      const T hh = f / (h + h);
      for (int j = 0; j < i; ++j) e[j] -= hh * d[j];
      for (int j = 0; j < i; ++j) {
        T* vj = column(j);
        f = d[j];
        g = e[j];
        cmaes_eigen::subtractTwoScaled(vj + j, f, e + j, g, d + j, i - j);
        d[j] = vj[i - 1];
        vj[i] = 0;
      }
    }
    d[i] = h;
  }

  for (int i = 0; i < n - 1; ++i) {
    T* vi = column(i);
    T* vnext = column(i + 1);
    vi[n - 1] = vi[i];
    vi[i] = 1;
    const T h = d[i + 1];
    if (h != 0) {
      for (int k = 0; k <= i; ++k) d[k] = vnext[k] / h;
      // Column j's update reads neither column i+1 nor the other columns, so four sums
      // can run side by side (each in its own order) before their columns are updated.
      int j = 0;
      for (; j + 3 <= i; j += 4) {
        T* v0 = column(j);
        T* v1 = column(j + 1);
        T* v2 = column(j + 2);
        T* v3 = column(j + 3);
        T g0 = 0, g1 = 0, g2 = 0, g3 = 0;
        for (int k = 0; k <= i; ++k) {
          const T a = vnext[k];
          g0 += a * v0[k];
          g1 += a * v1[k];
          g2 += a * v2[k];
          g3 += a * v3[k];
        }
        cmaes_eigen::subtractScaled(v0, g0, d, i + 1);
        cmaes_eigen::subtractScaled(v1, g1, d, i + 1);
        cmaes_eigen::subtractScaled(v2, g2, d, i + 1);
        cmaes_eigen::subtractScaled(v3, g3, d, i + 1);
      }
      for (; j <= i; ++j) {
        T* vj = column(j);
        T g = 0;
        for (int k = 0; k <= i; ++k) g += vnext[k] * vj[k];
        cmaes_eigen::subtractScaled(vj, g, d, i + 1);
      }
    }
    for (int k = 0; k <= i; ++k) vnext[k] = 0;
  }
  for (int j = 0; j < n; ++j) {
    T* vj = column(j);
    d[j] = vj[n - 1];
    vj[n - 1] = 0;
  }
  column(n - 1)[n - 1] = 1;
  e[0] = 0;
}

// Implicit QL with Wilkinson shifts on the tridiagonal matrix (d, e) (EISPACK tql2),
// accumulating the rotations into eigenWork_.
template <typename T>
void CMAES<T>::tql2(T* d, T* e) {
  const int n = params.N;
  for (int i = 1; i < n; ++i) e[i - 1] = e[i];
  e[n - 1] = 0;
  T f = 0;
  T tst1 = 0;
  const T eps = T(2.22e-16);
  for (int l = 0; l < n; ++l) {
    tst1 = std::max(tst1, std::fabs(d[l]) + std::fabs(e[l]));
    // e[n-1] is 0, so the search ends there at the latest; a NaN tst1 must not carry it on.
    int m = l;
    while (m < n - 1 && !(std::fabs(e[m]) <= eps * tst1)) ++m;
    if (m > l) {
      do {
        T g = d[l];
        T p = (d[l + 1] - g) / (2 * e[l]);
        T r = myhypot(p, T(1));
        if (p < 0) r = -r;
        d[l] = e[l] / (p + r);
        d[l + 1] = e[l] * (p + r);
        const T dl1 = d[l + 1];
        T h = g - d[l];
        for (int i = l + 2; i < n; ++i) d[i] -= h;
        f += h;

        p = d[m];
        T c = 1, c2 = 1, c3 = 1;
        const T el1 = e[l + 1];
        T s = 0, s2 = 0;
        for (int i = m - 1; i >= l; --i) {
          c3 = c2;
          c2 = c;
          s2 = s;
          g = c * e[i];
          h = c * p;
          r = myhypot(p, e[i]);
          e[i + 1] = s * r;
          s = e[i] / r;
          c = p / r;
          p = c * d[i] - s * g;
          d[i + 1] = h + s * (c * g + s * d[i]);
          cmaes_eigen::rotate(column(i), column(i + 1), c, s, n);
        }
        p = -s * s2 * c3 * el1 * e[l] / dl1;
        e[l] = s * p;
        d[l] = c * p;
      } while (std::fabs(e[l]) > eps * tst1);
    }
    d[l] += f;
    e[l] = 0;
  }
}

}  // namespace zamp
