#!/usr/bin/env python3
"""Re-computes a KESTRAN training run in plain Python and compares it with the
program's output, character for character.

    plain_training.py KESTRAN network.wgt data.dat ErrorFunction epochs

Runs KESTRAN on the files in a temporary folder, then repeats the run here:
the forward pass, the error, back-propagation and the BFGS minimiser written
out straightforwardly, one sum at a time in the order the program promises.
Both use the C library's exp, log and tanh, so the progress lines and the
result line must agree exactly. Reads network files as the library's writer
writes them (matrix blocks, one activation function per layer).
"""
import math, os, re, shutil, struct, subprocess, sys, tempfile


def tokens_without_comments(text):
    """The text with its (nested) comments removed."""
    res=[]; prev=' '; depth=0; i=0
    while i < len(text):
        if depth==0:
            if text.startswith('/*', i):
                depth=1; prev=' '; i+=2; continue
            res.append(text[i]); i+=1
        else:
            c=text[i]; i+=1
            if prev=='*' and c=='/':
                depth-=1; prev='*'
            elif prev=='/' and c=='*':
                depth+=1; prev=' '
            else:
                prev=c
    return ''.join(res)

def read_network(path):
    text=tokens_without_comments(open(path).read())
    layers={}
    for m in re.finditer(r'\[Layer = (\d+)\](.*?)\[~Layer\]', text, re.S):
        i=int(m.group(1)); body=m.group(2)
        n=int(re.search(r'NumberOfNeurons = (\d+)', body).group(1))
        fn=re.search(r'ActivationFunction=(\S+)', body).group(1)
        layers[i]=(n,fn)
    nl=len(layers)
    inl=int(re.search(r'InputLayer = (\d+)', text).group(1))
    outl=int(re.search(r'OutputLayer = (\d+)', text).group(1))
    blocks={}
    for m in re.finditer(r'\[ConnectionLayer\](.*?)\[~ConnectionLayer\]', text, re.S):
        body=m.group(1)
        f=int(re.search(r'LayerFrom = (\d+)', body).group(1)); t=int(re.search(r'LayerTo = (\d+)', body).group(1))
        typ=re.search(r'ConnectionType = (\S+)\]', body).group(1)
        mat=re.search(r'\[Matrix([^\]]*)\](.*?)\[~Matrix\]', body, re.S)
        cols=mat.group(1).split(); toks=mat.group(2).split()
        nf=layers[f][0]; nt=layers[t][0]
        W=[[0.0]*nf for _ in range(nt)]; E=[[False]*nf for _ in range(nt)]; T=[[False]*nf for _ in range(nt)]
        k=0
        for i in range(nf):
            for j in range(nt):
                for c in cols:
                    tok=toks[k]; k+=1
                    if c.lower()=='weights':
                        if tok=='-': E[j][i]=False; T[j][i]=False; W[j][i]=0.0
                        else:
                            if not E[j][i]: E[j][i]=True; T[j][i]=True
                            W[j][i]=float(tok)
                    else:
                        if tok in 'Tt': T[j][i]=E[j][i] and True
                        elif tok in 'Ff': T[j][i]=False
        if typ=='FullyConnected':
            E=[[True]*nf for _ in range(nt)]; T=[[True]*nf for _ in range(nt)]
        blocks[(f,t)]=dict(W=W,E=E,T=T,full=typ=='FullyConnected')
    return layers, nl, inl, outl, blocks

def read_data(path):
    text=tokens_without_comments(open(path).read())
    ni=int(re.search(r'\[Inputs = (\d+)\]',text).group(1)); no=int(re.search(r'\[ExpectedOutputs = (\d+)\]',text).group(1))
    rows=int(re.search(r'\[Rows = (\d+)\]',text).group(1))
    body=re.search(r'\[Data\](.*?)\[~Data\]', text, re.S).group(1).replace(',',' ').split()
    vals=[float(x) for x in body]; data=[]
    for r in range(rows):
        v=vals[r*(ni+no):(r+1)*(ni+no)]; data.append((v[:ni], v[ni:]))
    return data

def act(fn, x):
    if fn=='sigmoid': return 1e-300 if x < -500.0 else 1.0/(1.0+math.exp(-x))
    if fn=='tanh': return math.tanh(x)
    if fn=='linear': return x
    if fn=='bias': return 1.0
    raise Exception(fn)

class Net:
    def __init__(s, path):
        s.layers, s.nl, s.inl, s.outl, s.blocks = read_network(path)
        s.order=[]  # weight vector positions: (block, t, f)
        for f in range(s.nl):
            for t in range(s.nl):
                b=s.blocks.get((f,t))
                if not b: continue
                nf=s.layers[f][0]; nt=s.layers[t][0]
                if b['full']:
                    for i in range(nf):
                        for j in range(nt): s.order.append(((f,t),j,i))
                else:
                    for j in range(nt):
                        for i in range(nf):
                            if b['E'][j][i] and b['T'][j][i]: s.order.append(((f,t),j,i))
    def set(s,x):
        for k,(b,j,i) in enumerate(s.order): s.blocks[b]['W'][j][i]=x[k]
    def get(s): return [s.blocks[b]['W'][j][i] for (b,j,i) in s.order]
    def recall(s, inp):
        s.vals=[]
        for L in range(s.nl):
            n,fn=s.layers[L]
            if L==s.inl:
                s.vals.append(list(inp[:n])); continue  # an Input layer copies its input
            net=[0.0]*n
            for F in range(L):
                b=s.blocks.get((F,L))
                if not b: continue
                fv=s.vals[F]
                for t in range(n):
                    sm=0.0
                    for f in range(len(fv)):
                        if b['E'][t][f]: sm=b['W'][t][f]*fv[f]+sm
                    net[t]=sm+net[t]
            s.vals.append([act(fn,v) for v in net])
        return s.vals[s.outl]

def evaluate(net, data, x, ce, want_grad):
    net.set(x)
    ssum=0.0; npat=0
    grad={b:[[0.0]*len(net.blocks[b]['W'][0]) for _ in net.blocks[b]['W']] for b in net.blocks}
    for inp,tgt in data:
        out=net.recall(inp)
        if ce:
            for t,y in zip(tgt,out):
                if y==1.0: ssum+= 0.0 if t==1.0 else 1000000.0
                else: ssum+= -t*math.log(y)-(1-t)*math.log(1-y)
        else:
            for t,y in zip(tgt,out): ssum+=(t-y)*(t-y)
        npat+=1
        if not want_grad: continue
        err=[[0.0]*net.layers[L][0] for L in range(net.nl)]
        err[net.outl]=[out[i]-tgt[i] for i in range(len(out))]
        for L in range(net.nl-1,-1,-1):
            n,fn=net.layers[L]; e=err[L]; y=net.vals[L]
            if not (ce and L==net.outl):
                if fn=='sigmoid': e[:]=[e[i]*(y[i]*(1.0-y[i])) for i in range(n)]
                elif fn=='tanh': e[:]=[e[i]*(1.0-y[i]*y[i]) for i in range(n)]
            for K in range(L-1,-1,-1):
                b=net.blocks.get((K,L))
                if not b: continue
                g=grad[(K,L)]
                for t in range(n):
                    for f in range(net.layers[K][0]):
                        if b['E'][t][f] and b['T'][t][f]:
                            err[K][f]+=b['W'][t][f]*e[t]
                            g[t][f]+=e[t]*net.vals[K][f]
    no=len(data[0][1])
    val = ssum if ce else (0.0 if npat==0 else math.sqrt((ssum/no)/npat))
    gv=[grad[b][j][i] for (b,j,i) in net.order] if want_grad else None
    return val, gv

def gfmt(v): return '%g' % v

def linesearch(F, xold, fold, g, p, maxstep):
    n=len(xold)
    length=math.sqrt(sum_seq([pi*pi for pi in p]))
    if length>maxstep: p[:]=[(pi*maxstep)/length for pi in p]
    slope=sum_seq([g[i]*p[i] for i in range(n)])
    test=0.0
    for i in range(n):
        tmp=abs(p[i])/max(abs(xold[i]),1.0)
        if tmp>test: test=tmp
    if test==0.0: return list(xold), fold
    lammin=1e-7/test; lam=1.0; tmp=0.0; lam2=0.0; f2=0.0; first=True
    while True:
        x=[xold[i]+lam*p[i] for i in range(n)]
        f=F(x,False)[0]
        if lam<lammin: return list(xold), f
        if f<=fold+0.0001*lam*slope: return x, f
        if first:
            tmp=-slope/(2.0*(f-fold-slope)); first=False
        else:
            rhs1=f-fold-lam*slope; rhs2=f2-fold-lam2*slope
            a=(rhs1/(lam*lam)-rhs2/(lam2*lam2))/(lam-lam2)
            b=(-lam2*rhs1/(lam*lam)+lam*rhs2/(lam2*lam2))/(lam-lam2)
            if a==0.0: tmp=-slope/(2.0*b)
            else:
                disc=b*b-3.0*a*slope
                if disc>=0: tmp=(-b+math.sqrt(disc))/(3.0*a)
            if tmp>0.5*lam: tmp=0.5*lam
        lam2=lam; f2=f
        lam = tmp if tmp>0.1*lam else 0.1*lam

def sum_seq(v):
    s=0.0
    for x in v: s+=x
    return s

def bfgs(F, x, tol, maxit, out):
    n=len(x); EPS=3e-14
    fp,g=F(x,True)
    H=[[1.0 if i==j else 0.0 for j in range(n)] for i in range(n)]
    xi=[-gi for gi in g]
    s=sum_seq([xx*xx for xx in x])
    maxstep = 100.0*math.sqrt(s) if math.sqrt(s)>n else 100.0*n
    value=None; its=maxit
    for it in range(1,maxit+1):
        its=it
        xnew,value=linesearch(F,x,fp,g,xi,maxstep)
        out.append('Iteration %d:  Error = %s' % (it, gfmt(value)))
        if 2.0*abs(fp-value) <= tol*(abs(value)*abs(fp)+EPS): return its, value
        fp=value
        xi=[xnew[i]-x[i] for i in range(n)]; x=xnew
        dg=list(g); g=F(x,True)[1]; dg=[g[i]-dg[i] for i in range(n)]
        hdg=[sum_seq([H[i][j]*dg[j] for j in range(n)]) for i in range(n)]
        fac=sum_seq([dg[i]*xi[i] for i in range(n)]); fae=sum_seq([dg[i]*hdg[i] for i in range(n)])
        sumdg=sum_seq([d*d for d in dg]); sumxi=sum_seq([d*d for d in xi])
        if fac*fac > EPS*sumdg*sumxi:
            fac=1.0/fac; fad=1.0/fae
            u=[fac*xi[i]-fad*hdg[i] for i in range(n)]
            for i in range(n):
                for j in range(n):
                    H[i][j]+= ((fac*xi[i])*xi[j]-(fad*hdg[i])*hdg[j])+(fae*u[i])*u[j]
        xi=[-sum_seq([H[i][j]*g[j] for j in range(n)]) for i in range(n)]
    return its, value


def plain_run(network, data_file, error_function, epochs):
    net = Net(network)
    data = read_data(data_file)
    ce = error_function.lower() == 'crossentropy'
    F = lambda x, gr: evaluate(net, data, x, ce, gr)
    out = []
    its, val = bfgs(F, net.get(), 6e-14, epochs, out)
    single = struct.unpack('f', struct.pack('f', val))[0]
    out.append('%d %s' % (its, gfmt(single)))
    return '\n'.join(out) + '\n'


def program_run(kestran, network, data_file, error_function, epochs):
    work = tempfile.mkdtemp(prefix='kestran-crosscheck-')
    try:
        with open(os.path.join(work, 'run.par'), 'w') as f:
            f.write('WeightFile : %s\nTrainingFile : %s\nErrorFunction : %s\nEpochs : %d\n'
                    'DestinationFile : trained.wgt\n'
                    % (os.path.abspath(network), os.path.abspath(data_file), error_function, epochs))
        run = subprocess.run([kestran, 'run.par'], cwd=work, capture_output=True, text=True)
        if run.returncode != 0:
            sys.exit('KESTRAN failed (%d): %s' % (run.returncode, run.stderr))
        return run.stdout
    finally:
        shutil.rmtree(work)


def main():
    if len(sys.argv) != 6:
        sys.exit(__doc__)
    kestran, network, data_file, error_function, epochs = sys.argv[1:]
    expected = plain_run(network, data_file, error_function, int(epochs))
    actual = program_run(kestran, network, data_file, error_function, int(epochs))
    if actual != expected:
        for i, (a, e) in enumerate(zip(actual.splitlines(), expected.splitlines())):
            if a != e:
                sys.exit('line %d differs:\n  KESTRAN: %s\n  plain:   %s' % (i + 1, a, e))
        sys.exit('outputs differ in length: %d vs %d lines'
                 % (len(actual.splitlines()), len(expected.splitlines())))
    print('%s: %d lines agree' % (os.path.basename(network), len(actual.splitlines())))


if __name__ == '__main__':
    main()
